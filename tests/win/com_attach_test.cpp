// The attach run against the stand-in Outlook in another process, set up
// the way a real Outlook behaves: busy while it starts, creating a PST for a
// path that does not exist, listing its stores. Also the real window: a
// double click on the attach button, and a close in the middle of a run.
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <optional>
#include <thread>
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

using test::standinFile;

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
        std::filesystem::remove(standinFile(L"ignore-addstore"));
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
        // A run begins once the last one's stand-in has ended: one still
        // ending would refuse the new connection, as an Outlook shutting
        // down does.
        ASSERT_TRUE(test::standinGone());
        auto automation = makeComAutomation(retry);
        auto fs = scan::makePlatformFileSystem();
        pstlist::RowReasons reasons;
        pstlist::attachTickedRows(ui, *automation, *fs, reasons);
    }
    Texts statuses(ui::Toolkit& ui) { return test::rowStatuses(ui.pstList()); }
    // The stand-in's log: what it was asked to add, in order.
    Texts calls() { return test::standinCalls(); }
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

// The \\?\ form and the 8.3 name of a file already added name that file.
TEST_F(ComAttach, OneFileUnderAnySpellingIsSentOnce) {
    test::writePst(tree.fsPath(L"Archive 2019.pst"));
    const std::wstring file = tree.path(L"Archive 2019.pst");
    const std::wstring shortName = test::shortPath(file);
    ASSERT_NE(shortName, file);
    ui::HeadlessToolkit first;
    fill(first, {L"Archive 2019.pst"});
    run(first);
    ui::HeadlessToolkit second;
    for (const std::wstring& spelling : {L"\\\\?\\" + file, shortName}) {
        second.list.insert(1, spelling, 2);
        second.list.setChecked(1, true);
    }
    second.selectAll().setValue(1);
    run(second);
    EXPECT_EQ(statuses(second), (Texts{pstlist::kStatusAlreadyIn, pstlist::kStatusAlreadyIn}));
    EXPECT_EQ(calls(), Texts{add(L"Archive 2019.pst")});
}

// Outlook would open "x.pst" for "x.pst " (and make it when it is missing);
// the row is refused before AddStore. Outlook ignoring an AddStore fails the
// row too.
TEST_F(ComAttach, OddNamesAndIgnoredAddStoresFailTheRow) {
    tree.folder(L"odd");
    const test::OddPst spaced(tree.path(L"odd/x.pst "));
    std::ofstream(standinFile(L"ignore-addstore"), std::ios::binary) << "b.pst\n";
    const Texts rows[] = {{L"odd/x.pst "}, {L"a.pst", L"b.pst", L"c.pst"}};
    const Texts expected[] = {{L"Failed: the name ends in a space or a dot; rename the file"},
                              {L"Done", L"Failed: Outlook did not add the file", L"Not tried"}};
    for (int i = 0; i < 2; ++i) {
        ui::HeadlessToolkit tk;
        fill(tk, rows[i]);
        run(tk);
        EXPECT_EQ(statuses(tk), expected[i]);
        ASSERT_TRUE(test::standinGone());
    }
    std::filesystem::remove(standinFile(L"ignore-addstore"));
    EXPECT_EQ(calls(), (Texts{add(L"a.pst"), add(L"b.pst")}));
    EXPECT_FALSE(std::filesystem::exists(tree.fsPath(L"odd/x.pst")));
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

// Waits for `done` (the other thread's work), up to half a minute.
template <class Done>
bool waitUntil(Done done) {
    for (int i = 0; i < 600; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(50)))
        if (done()) return true;
    return false;
}

std::wstring topRowStatus(HWND list) {
    wchar_t text[128] = {};
    LVITEMW item{};
    item.iSubItem = 2;
    item.pszText = text;
    item.cchTextMax = 128;
    ::SendMessageW(list, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
    return text;
}

// While Outlook is busy starting, or AddStore waits on it (a prompt it
// shows), the row says so, and Escape or closing the window stops the wait:
// the row's own status, the rest not tried, no message box. A user on
// another thread acts once the row says it waits. The busy start lasts far
// longer than the run's retry limit, so a run that ends with no failure and
// no AddStore ended on the Escape while the stand-in was still busy.
TEST_F(ComAttach, EscapeOrCloseStopsAWaitOnOutlook) {
    const struct {
        const char* name;
        const wchar_t* setting;
        const char* ms;
        bool close;
        Texts statuses, calls;
    } cases[] = {
        {"Escape on a blocked AddStore",
         L"block-addstore-ms",
         "4000",
         false,
         {pstlist::kStatusStoppedWaiting, pstlist::kStatusNotTried},
         {L"a.pst"}},
        {"close on a blocked AddStore", L"block-addstore-ms", "4000", true, {}, {L"a.pst"}},
        {"Escape during a busy start",
         L"busy-start-ms",
         "120000",
         false,
         {pstlist::kStatusNotTried, pstlist::kStatusNotTried},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<test::StandinSetting> setting(std::in_place, c.setting, c.ms);
        std::filesystem::remove(standinFile(L"calls.log"));
        test::Win32Harness h(makeComAutomation());
        fill(h.ui(), {L"a.pst", L"b.pst"});
        const HWND window = h.window().hwnd(), list = h.control(app::kIdPstList);
        std::wstring seen;
        std::thread user([&] {
            if (!waitUntil([&] { return (seen = topRowStatus(list)) == pstlist::kStatusWaiting; }))
                return;
            if (!c.close) test::saveShotOf(window, c.calls.empty() ? ".busystart" : ".waiting");
            if (c.close)
                ::PostMessageW(window, WM_CLOSE, 0, 0);
            else
                ::PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        ::SendMessageW(h.control(app::kIdAttach), BM_CLICK, 0, 0);
        user.join();
        EXPECT_EQ(seen, pstlist::kStatusWaiting);
        EXPECT_TRUE(h.dialogs().messages.empty());
        Texts adds;
        for (const auto& name : c.calls) adds.push_back(add(name.c_str()));
        EXPECT_EQ(calls(), adds);
        if (c.close)
            EXPECT_FALSE(::IsWindow(window));
        else
            EXPECT_EQ(statuses(h.ui()), c.statuses);
        setting.reset();  // the next stand-in starts as usual
        EXPECT_TRUE(test::standinGone());
        test::forgetStoresUnder(tree.path());
    }
}

}  // namespace
}  // namespace pelorin::outlook
