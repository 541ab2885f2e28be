// The attach run against the stand-in Outlook in another process, set up
// the way a real Outlook behaves: busy while it starts, creating a PST for a
// path that does not exist, listing its stores. Also the real window: a
// double click on the attach button, and a close in the middle of a run.
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "base/text.h"
#include "outlook-standin/standin_ids.h"
#include "outlook/automation_win.h"
#include "outlook/session.h"
#include "pstlist/attach_run.h"
#include "scan/filesystem.h"
#include "support/attach_messages.h"
#include "support/pst_files.h"
#include "support/rows.h"
#include "support/temp_tree.h"
#include "ui/headless_toolkit.h"
#include "harness_win.h"

namespace pelorin::outlook {
namespace {

using Texts = std::vector<std::wstring>;
using test::kAllAdded;

// A file beside the stand-in's profile (its settings and its call log).
std::filesystem::path standinFile(const wchar_t* name) {
    wchar_t base[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base);
    return std::filesystem::path(base) / standin::kProfileFolder / name;
}

class ComAttach : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        if (!test::standinRegistered())
            GTEST_SKIP() << "the stand-in Outlook is not registered in this prefix";
        ASSERT_TRUE(test::standinGone());
        std::filesystem::create_directories(standinFile(L""));
        std::filesystem::remove(standinFile(L"calls.log"));
        for (const wchar_t* name : {L"a.pst", L"b.pst", L"c.pst"})
            test::writePst(tree.fsPath(name));
    }
    void TearDown() override {
        std::filesystem::remove(standinFile(L"busy-start-ms"));
        if (!IsSkipped()) {
            auto automation = makeComAutomation();
            OutlookSession outlook(*automation);
            const std::wstring prefix = tree.path();
            outlook.removeStores([&](const std::wstring& p) { return p.rfind(prefix, 0) == 0; });
        }
        EXPECT_TRUE(test::standinGone());
        ::CoUninitialize();
    }

    void fill(ui::Toolkit& ui, const Texts& names) {
        for (auto it = names.rbegin(); it != names.rend(); ++it) {
            ui.pstList().insert(1, tree.path(*it), 2);
            ui.pstList().setChecked(1, true);
        }
        ui.selectAll().setValue(1);
    }
    void run(ui::Toolkit& ui, CallRetry retry = {}) {
        auto automation = makeComAutomation(retry);
        auto fs = scan::makePlatformFileSystem();
        pstlist::attachTickedRows(ui, *automation, *fs);
    }
    Texts statuses(ui::Toolkit& ui) { return test::rowStatuses(ui.pstList()); }
    // The stand-in's log: what it was asked to add, in order.
    Texts calls() {
        std::ifstream in(standinFile(L"calls.log"), std::ios::binary);
        const std::wstring text = fromUtf8(std::string(std::istreambuf_iterator<char>(in), {}));
        Texts out;
        for (size_t start = 0, end; start < text.size(); start = end + 1) {
            end = text.find(L'\n', start);
            if (end == std::wstring::npos) end = text.size();
            out.push_back(text.substr(start, end - start));
        }
        return out;
    }
    std::wstring add(const wchar_t* name) { return L"AddStore " + tree.path(name); }

    test::TempTree tree;
    // Taken before SetUp looks at the registration: another test may point
    // Outlook's class elsewhere while it holds the turn.
    test::StandinTurn turn_;
};

TEST_F(ComAttach, ABusyStartIsWaitedOutOnlyWhileTheRetryIsOn) {
    const struct {
        const char* name;
        bool retry;
        Texts statuses;
        std::wstring messageHas;
    } cases[] = {
        {"retried until Outlook answers", true, {L"Done", L"Done"}, kAllAdded},
        {"retry off: Outlook is busy", false, {L"Not tried", L"Not tried"}, L"0x80010001"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(test::standinGone());
        std::ofstream(standinFile(L"busy-start-ms")) << 2000;
        ui::HeadlessToolkit tk;
        fill(tk, {L"a.pst", L"b.pst"});
        const auto start = std::chrono::steady_clock::now();
        run(tk, {c.retry, std::chrono::milliseconds(250), std::chrono::milliseconds(10000)});
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(statuses(tk), c.statuses);
        ASSERT_EQ(tk.dlg.messages.size(), 1u);
        EXPECT_NE(tk.dlg.messages[0].text.find(c.messageHas), std::wstring::npos)
            << tk.dlg.messages[0].text;
        if (c.retry) {
            EXPECT_GE(took, std::chrono::milliseconds(1500)) << "the busy start was not seen";
        }
        std::filesystem::remove(standinFile(L"busy-start-ms"));
        ASSERT_TRUE(test::standinGone());
    }
}

TEST_F(ComAttach, AFileGoneSinceListingIsNeverCreatedAndTheMessageNamesIt) {
    ui::HeadlessToolkit tk;
    fill(tk, {L"a.pst", L"b.pst", L"c.pst"});
    std::filesystem::remove(tree.fsPath(L"b.pst"));
    run(tk);
    EXPECT_FALSE(std::filesystem::exists(tree.fsPath(L"b.pst")));
    EXPECT_EQ(statuses(tk), (Texts{L"Done", L"Failed: file not found", L"Not tried"}));
    ASSERT_EQ(tk.dlg.messages.size(), 1u);
    EXPECT_NE(tk.dlg.messages[0].text.find(L"\n\n" + tree.path(L"b.pst") + L"\n"),
              std::wstring::npos);
    EXPECT_EQ(calls(), Texts{add(L"a.pst")});
}

// Refusals set up in the stand-in reach the row as their short reason.
TEST_F(ComAttach, OutlooksRefusalsBecomeShortReasons) {
    const struct {
        const char* hresult;
        const wchar_t* status;
    } cases[] = {{"0x80070020", L"Failed: in use"},
                 {"0x80070005", L"Failed: read-only"},
                 {"0x80004005", L"Failed: Something else went wrong"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hresult);
        std::ofstream(standinFile(L"fail-addstore"), std::ios::binary)
            << "b.pst\t" << c.hresult << "\tSomething else went wrong\n";
        ui::HeadlessToolkit tk;
        fill(tk, {L"b.pst"});
        run(tk);
        EXPECT_EQ(statuses(tk), Texts{c.status});
        ASSERT_TRUE(test::standinGone());
    }
    std::filesystem::remove(standinFile(L"fail-addstore"));
}

TEST_F(ComAttach, FilesAlreadyInTheProfileAreNotSentAgain) {
    ui::HeadlessToolkit first;
    fill(first, {L"a.pst"});
    run(first);
    // The same file under another spelling, and a new one.
    ui::HeadlessToolkit second;
    second.list.insert(1, tree.path(L"b.pst"), 2);
    second.list.insert(1, tree.path(L"A.PST"), 2);
    for (int i = 1; i <= 2; ++i) second.list.setChecked(i, true);
    second.selectAll().setValue(1);
    run(second);
    EXPECT_EQ(statuses(second), (Texts{pstlist::kStatusAlreadyIn, L"Done"}));
    EXPECT_EQ(second.dlg.messages.at(0).text, L"1 attached, 1 already in Outlook.");
    EXPECT_EQ(calls(), (Texts{add(L"a.pst"), add(L"b.pst")}));
}

TEST_F(ComAttach, ADoubleClickOnTheRealButtonSendsEachPathOnce) {
    test::Win32Harness h(makeComAutomation());
    fill(h.ui(), {L"a.pst", L"b.pst"});
    const HWND button = h.control(app::kIdAttach);
    ::PostMessageW(button, BM_CLICK, 0, 0);
    ::PostMessageW(button, BM_CLICK, 0, 0);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    EXPECT_EQ(calls(), (Texts{add(L"a.pst"), add(L"b.pst")}));
    EXPECT_EQ(h.dialogs().messages.size(), 1u);
    EXPECT_TRUE(::IsWindowEnabled(button));
}

TEST_F(ComAttach, ClosingTheWindowMidRunReleasesOutlookThenCloses) {
    test::Win32Harness h(makeComAutomation());
    fill(h.ui(), {L"a.pst", L"b.pst", L"c.pst"});
    const HWND window = h.window().hwnd();
    h.at(pstlist::pauseBeforeRow(2), [&] { ::SendMessageW(window, WM_CLOSE, 0, 0); });
    ::SendMessageW(h.control(app::kIdAttach), BM_CLICK, 0, 0);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(calls(), Texts{add(L"a.pst")});
    EXPECT_TRUE(h.dialogs().messages.empty());
    EXPECT_TRUE(test::standinGone()) << "Outlook's objects outlived the window";
}

}  // namespace
}  // namespace pelorin::outlook
