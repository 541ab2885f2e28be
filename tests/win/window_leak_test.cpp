// The main window gives back what it takes: after one warm-up (first uses
// fill caches that live on), windows built, used with Outlook attached across
// processes, and destroyed leave the GDI objects, USER objects and kernel
// handles where they were. Wine answers GetGuiResources and
// GetProcessHandleCount with 0; there the counts come from its own tables.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "outlook/automation_win.h"
#include "support/pst_files.h"
#include "support/temp_tree.h"
#include "win/harness_win.h"

namespace pelorin::test {
namespace {

// Wine takes a bare table index (no generation bits) for GDI and USER handles.
long probe(UINT_PTR first, UINT_PTR step, bool (*live)(UINT_PTR)) {
    long n = 0;
    for (UINT_PTR h = first; h < 0xfff0; h += step) n += live(h) ? 1 : 0;
    return n;
}

long gdiObjects() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return n;
    return probe(1, 1, [](UINT_PTR h) { return GetObjectType(reinterpret_cast<HGDIOBJ>(h)) != 0; });
}

BOOL CALLBACK countWindow(HWND, LPARAM n) {
    ++*reinterpret_cast<long*>(n);
    return TRUE;
}
BOOL CALLBACK countWithChildren(HWND hwnd, LPARAM n) {
    EnumChildWindows(hwnd, countWindow, n);  // every descendant
    return countWindow(hwnd, n);
}

long userObjects() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return n;
    long windows = 0;
    EnumThreadWindows(GetCurrentThreadId(), countWithChildren, reinterpret_cast<LPARAM>(&windows));
    return windows + probe(0x20, 2, [](UINT_PTR h) {
               if (IsMenu(reinterpret_cast<HMENU>(h))) return true;
               ICONINFO info{};
               if (!GetIconInfo(reinterpret_cast<HICON>(h), &info)) return false;
               DeleteObject(info.hbmColor);
               DeleteObject(info.hbmMask);
               return true;
           });
}

long kernelHandles() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count) return count;
    using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    struct Entry {
        ULONG pid;
        UCHAR type, flags;
        USHORT handle;
        void* object;
        ACCESS_MASK access;
    };
    constexpr ULONG kSystemHandleInformation = 16;
    std::vector<ULONG> buffer(1 << 16);
    ULONG size = 0;
    LONG status;  // grows while STATUS_INFO_LENGTH_MISMATCH
    while ((status = query(kSystemHandleInformation, buffer.data(),
                           static_cast<ULONG>(buffer.size() * sizeof(ULONG)), &size)) ==
           static_cast<LONG>(0xC0000004))
        buffer.resize(buffer.size() * 2);
    if (status != 0) return -1;
    const auto* first = reinterpret_cast<const Entry*>(buffer.data() + 1);
    return static_cast<long>(std::count_if(
        first, first + buffer[0], [](const Entry& e) { return e.pid == GetCurrentProcessId(); }));
}

const struct {
    const char* name;
    long (*count)();
} kCounters[] = {
    {"GDI objects", gdiObjects}, {"USER objects", userObjects}, {"kernel handles", kernelHandles}};

constexpr int kCycles = 20;
constexpr long kSlack = 5;  // a fixed allowance, whatever kCycles is
constexpr int kSettleCycles = 3;
const std::vector<std::wstring> kFiles = {L"a.pst", L"b.pst", L"c.pst", L"sub/d.pst"};

class WindowLeak : public testing::Test {
protected:
    void SetUp() override {
        com_ = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(SUCCEEDED(com_));
        if (!standinRegistered())
            GTEST_SKIP() << "the stand-in Outlook is not registered in this prefix";
        tree.folder(L"sub");
        for (const auto& name : kFiles) writePst(tree.fsPath(name));
        tree.file(L"sub/notes.txt", 10);
    }
    void TearDown() override {
        if (SUCCEEDED(com_)) CoUninitialize();
    }

    // One window's life: Add File with three files, Add Folder over the
    // tree, Select All, Add PSTs to Outlook, Clear List.
    void cycle() {
        Win32Harness h(outlook::makeComAutomation());
        std::wstring selection = tree.path();
        for (int i = 0; i < 3; ++i) selection += L'\0' + kFiles[i];
        h.fileDialog().answers = {selection};
        h.dialogs().folderAnswers = {tree.path()};
        const struct {
            app::ControlId button;
            int rows;
        } steps[] = {{app::kIdAddFile, 3},
                     {app::kIdAddFolder, 7},
                     {app::kIdSelectAll, 7},
                     {app::kIdAttach, 7},
                     {app::kIdClearList, 0}};
        for (const auto& step : steps) {
            h.click(step.button);
            ASSERT_EQ(h.ui().pstList().count(), step.rows) << "after control " << step.button;
        }
        ASSERT_EQ(h.dialogs().messages.size(), 1u);
        // The folder lists the three files again, and later windows find
        // every file in the profile: the box counts, and says no failure.
        ASSERT_EQ(h.dialogs().messages[0].icon, ui::Icon::Information)
            << h.dialogs().messages[0].text;
        ASSERT_TRUE(h.unhandled.empty());
    }

    TempTree tree;

private:
    StandinTurn turn_;
    HRESULT com_ = E_FAIL;
};

TEST_F(WindowLeak, ManyWindowsLeaveTheCountsFlat) {
    ASSERT_NO_FATAL_FAILURE(cycle());
    long before[std::size(kCounters)];
    for (size_t i = 0; i < std::size(kCounters); ++i) before[i] = kCounters[i].count();
    for (int n = 0; n < kCycles; ++n) ASSERT_NO_FATAL_FAILURE(cycle()) << "cycle " << n;
    // Threads that come and go (COM's, the thread pool's timers) hold
    // handles for a while on a busy machine: the lowest count over a few
    // more windows leaves them out, while a leak still shows in each one.
    long lowest[std::size(kCounters)];
    for (size_t i = 0; i < std::size(kCounters); ++i) lowest[i] = kCounters[i].count();
    for (int n = 0; n < kSettleCycles; ++n) {
        ASSERT_NO_FATAL_FAILURE(cycle()) << "settling cycle " << n;
        for (size_t i = 0; i < std::size(kCounters); ++i)
            lowest[i] = std::min(lowest[i], kCounters[i].count());
    }
    for (size_t i = 0; i < std::size(kCounters); ++i) {
        const long after = lowest[i];
        std::printf("%s: %ld -> %ld over %d windows\n", kCounters[i].name, before[i], after,
                    kCycles);
        EXPECT_GT(before[i], 0) << kCounters[i].name << " cannot be counted";
        EXPECT_LE(after - before[i], kSlack) << kCounters[i].name;
    }

    // The profile forgets this test's stores again.
    forgetStoresUnder(tree.path());
}

}  // namespace
}  // namespace pelorin::test
