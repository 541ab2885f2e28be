// The attach run over a scripted Outlook and real files on disk: which paths
// reach AddStore, what the status column and the message say, what happens
// when the user clicks, ticks or closes during a pause, and when the objects
// are released. Runs on the headless toolkit and, under Wine, on the real
// list view.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "outlook/call_wait.h"
#include "outlook/failure_text.h"
#include "pstlist/attach_run.h"
#include "scan/filesystem.h"
#include "support/attach_messages.h"
#include "support/harness.h"
#include "support/harness_test.h"
#include "support/rows.h"
#include "support/scripted_outlook.h"
#include "support/temp_tree.h"
#include "ui/headless_toolkit.h"

namespace pelorin::pstlist {
namespace {

using Texts = std::vector<std::wstring>;

using test::kAllAdded;
using test::kFailed;
using test::kNoneSelected;

struct Row {
    std::wstring name;  // a file in the test's tree
    bool checked;
    std::wstring status;
};

// The cases' lambdas reach into the fixture, so its members are public.
class AttachRun : public testing::TestWithParam<std::string> {
public:
    void SetUp() override {
        h = test::makeHarness(GetParam());
        outlook = test::ScriptedOutlook();
        for (const wchar_t* name : {L"a.pst", L"b.pst", L"c.pst"}) {
            std::filesystem::remove_all(tree.fsPath(name));  // a case may have left a folder
            tree.file(name, 600);
        }
    }
    std::wstring path(const std::wstring& name) { return tree.path(name); }
    std::wstring add(const std::wstring& name) { return L"AddStore " + path(name); }

    // Rows top to bottom; each gets its tick and a status from an earlier run.
    void fill(const std::vector<Row>& rows, int selectAll = 1) {
        auto& list = h->ui().pstList();
        for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
            list.insert(1, path(it->name), 2);
            list.setChecked(1, it->checked);
            list.setSubItem(1, ui::Column::Status, it->status);
        }
        h->ui().selectAll().setValue(selectAll);
    }
    void click() { attachTickedRows(h->ui(), outlook, *fs, reasons); }
    Texts statuses() { return test::rowStatuses(h->ui().pstList()); }
    Texts messages() {
        Texts out;
        for (const auto& m : h->dialogs().messages) out.push_back(m.text);
        return out;
    }
    std::wstring failedAt(const std::wstring& name, const std::wstring& detail,
                          const std::wstring& counts) {
        return std::wstring(kFailed) + L"\n\n" + path(name) + L"\n" + detail + L"\n\n" + counts;
    }

    test::TempTree tree;
    std::unique_ptr<scan::FileSystem> fs = scan::makePlatformFileSystem();
    std::unique_ptr<test::Harness> h;
    test::ScriptedOutlook outlook;
    RowReasons reasons;
};

TEST_P(AttachRun, OutcomesOfOneClick) {
    const std::vector<Row> abc = {
        {L"a.pst", true, L"old"}, {L"b.pst", false, L"Done"}, {L"c.pst", true, L""}};
    const std::vector<Row> all = {
        {L"a.pst", true, L""}, {L"b.pst", true, L"x"}, {L"c.pst", true, L""}};
    struct Case {
        const char* name;
        std::vector<Row> rows;
        std::function<void(AttachRun&)> setup;
        Texts adds;  // names handed to AddStore
        Texts statuses;
        std::function<std::wstring(AttachRun&)> message;
    } cases[] = {
        {"ticked rows added, unticked rows blanked",
         abc,
         nullptr,
         {L"a.pst", L"c.pst"},
         {L"Done", L"", L"Done"},
         [](AttachRun&) { return L"2 attached, 1 not ticked."; }},
        {"a refused row stops the run and says why",
         all,
         [](AttachRun& t) {
             t.outlook.failOn(t.add(L"b.pst"), outlook::kHrAccessDenied, L"File access is denied");
         },
         {L"a.pst", L"b.pst"},
         {L"Done", L"Failed: read-only", L"Not tried"},
         [](AttachRun& t) {
             return t.failedAt(L"b.pst", L"File access is denied (0x80070005)",
                               L"1 attached, 1 failed, 1 not tried.");
         }},
        {"a file moved since it was listed never reaches Outlook",
         all,
         [](AttachRun& t) { t.tree.remove(L"b.pst"); },
         {L"a.pst"},
         {L"Done", L"Failed: file not found", L"Not tried"},
         [](AttachRun& t) {
             return t.failedAt(L"b.pst",
                               L"The file does not exist, or it is a folder. (0x80070002)",
                               L"1 attached, 1 failed, 1 not tried.");
         }},
        {"a folder in place of the file",
         all,
         [](AttachRun& t) {
             t.tree.remove(L"a.pst");
             t.tree.folder(L"a.pst");
         },
         {},
         {L"Failed: file not found", L"Not tried", L"Not tried"},
         [](AttachRun& t) {
             return t.failedAt(L"a.pst",
                               L"The file does not exist, or it is a folder. (0x80070002)",
                               L"0 attached, 1 failed, 2 not tried.");
         }},
        {"AddStore answers but the profile does not list the file",
         all,
         [](AttachRun& t) { t.outlook.addedStoresJoin = false; },
         {L"a.pst"},
         {L"Failed: Outlook did not add the file", L"Not tried", L"Not tried"},
         [](AttachRun& t) {
             return t.failedAt(L"a.pst", L"Outlook did not add the file",
                               L"0 attached, 1 failed, 2 not tried.");
         }},
        {"Outlook busy past the retries",
         all,
         [](AttachRun& t) {
             t.outlook.failOn(t.add(L"a.pst"), outlook::kHrCallRejected,
                              L"Call was rejected by callee");
         },
         {L"a.pst"},
         {L"Failed: Outlook is busy", L"Not tried", L"Not tried"},
         [](AttachRun& t) {
             return t.failedAt(L"a.pst", L"Call was rejected by callee (0x80010001)",
                               L"0 attached, 1 failed, 2 not tried.");
         }},
        {"only the new Outlook: not installed",
         abc,
         [](AttachRun& t) {
             t.outlook.failOn(L"create Outlook.Application", outlook::kHrClassNotRegistered);
         },
         {},
         {L"Not tried", L"Done", L"Not tried"},
         [](AttachRun&) { return outlook::kNotInstalled; }},
        {"unknown ProgID: not installed",
         abc,
         [](AttachRun& t) {
             t.outlook.failOn(L"create Outlook.Application", outlook::kHrClassString);
         },
         {},
         {L"Not tried", L"Done", L"Not tried"},
         [](AttachRun&) { return outlook::kNotInstalled; }},
        {"another integrity level",
         abc,
         [](AttachRun& t) {
             t.outlook.failOn(L"create Outlook.Application", outlook::kHrServerExecFailure);
         },
         {},
         {L"Not tried", L"Done", L"Not tried"},
         [](AttachRun&) { return outlook::kUnreachable; }},
        {"GetNamespace fails: Outlook could not be started",
         abc,
         [](AttachRun& t) { t.outlook.failOn(L"GetNamespace MAPI", -2147467259, L"boom"); },
         {},
         {L"Not tried", L"Done", L"Not tried"},
         [](AttachRun&) { return std::wstring(outlook::kCannotStart) + L"\n\nboom (0x80004005)"; }},
        {"rows in the profile under other spellings are not sent again",
         all,
         [](AttachRun& t) {
             t.outlook.stores = {L"", t.path(L"A.PST"), t.path(L"c.pst")};
         },
         {L"b.pst"},
         {kStatusAlreadyIn, L"Done", kStatusAlreadyIn},
         [](AttachRun&) { return L"1 attached, 2 already in Outlook."; }},
        {"Stores failing: every row is sent",
         all,
         [](AttachRun& t) { t.outlook.storesFail = true; },
         {L"a.pst", L"b.pst", L"c.pst"},
         {L"Done", L"Done", L"Done"},
         [](AttachRun&) { return kAllAdded; }},
        {"Select All unticked: the rows ticked one by one still go",
         abc,
         [](AttachRun& t) { t.h->ui().selectAll().setValue(0); },
         {L"a.pst", L"c.pst"},
         {L"Done", L"", L"Done"},
         [](AttachRun&) { return L"2 attached, 1 not ticked."; }},
        {"nothing ticked: Outlook is not started",
         {{L"a.pst", false, L"old"}, {L"b.pst", false, L"Done"}},
         nullptr,
         {},
         {L"old", L"Done"},
         [](AttachRun&) { return kNoneSelected; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        fill(c.rows);
        if (c.setup) c.setup(*this);
        click();
        Texts adds;
        for (const auto& n : c.adds) adds.push_back(add(n));
        EXPECT_EQ(outlook.calls(L"AddStore"), adds);
        EXPECT_EQ(statuses(), c.statuses);
        EXPECT_EQ(messages(), Texts{c.message(*this)});
        EXPECT_EQ(outlook.alive, 0);
        if (c.message(*this) == kNoneSelected) {
            EXPECT_TRUE(outlook.log.empty());
        }
    }
}

// What each row says at each step of a run: ticked rows cleared before
// Outlook is reached, the row being sent says so, earlier rows keep theirs.
TEST_P(AttachRun, StatusesDuringARun) {
    fill({{L"a.pst", true, L"Done"}, {L"b.pst", false, L"x"}, {L"c.pst", true, L"Failed: y"}});
    Texts beforeOutlook, whileSendingC;
    h->at(kPauseBeforeOutlook, [&] { beforeOutlook = statuses(); });
    outlook.during = [&](const std::wstring& entry) {
        if (entry == add(L"c.pst")) whileSendingC = statuses();
    };
    click();
    EXPECT_EQ(beforeOutlook, (Texts{L"", L"x", L""}));
    EXPECT_EQ(whileSendingC, (Texts{L"Done", L"", L"Adding to Outlook\u2026"}));
    EXPECT_EQ(statuses(), (Texts{L"Done", L"", L"Done"}));
}

TEST_P(AttachRun, FailureReleasesTheObjectsOnlyAfterTheMessageIsClosed) {
    fill({{L"a.pst", true, L""}});
    outlook.failOn(add(L"a.pst"));
    std::size_t releasedAtMessage = 99;
    h->dialogs().onMessageBox = [&] {
        releasedAtMessage = outlook.calls(L"release application").size();
    };
    click();
    EXPECT_EQ(releasedAtMessage, 0u);
    EXPECT_EQ(outlook.calls(L"release").back(), L"release application");
}

TEST_P(AttachRun, SuccessReleasesBeforeTheMessage) {
    fill({{L"a.pst", true, L""}});
    Texts atMessage;
    h->dialogs().onMessageBox = [&] { atMessage = outlook.log; };
    click();
    EXPECT_EQ(atMessage, outlook.log);
    EXPECT_EQ(atMessage.back(), L"release application");
}

TEST_P(AttachRun, PathsGoOverExactlyAsTheRowsHoldThem) {
    const Texts names = {L"\u041f\u043e\u0447\u0442\u0430/\u0430\u0440\u0445\u0438\u0432.pst",
                         L"\u65e5\u672c\u8a9e/\u30e1\u30fc\u30eb.PST", L"no-extension",
                         L"emoji/\U0001F4E7.pst"};
    std::vector<Row> rows;
    Texts expected;
    for (const auto& n : names) {
        tree.file(n, 10);
        rows.push_back({n, true, L""});
        expected.push_back(add(n));
    }
    fill(rows);
    click();
    EXPECT_EQ(outlook.calls(L"AddStore"), expected);
}

// What the user does during a pause of the run: each case acts at a named
// pause and says which rows reach AddStore and what the run says.
TEST_P(AttachRun, ClicksAndClosesDuringARun) {
    struct Case {
        const char* name;
        int pause;
        std::function<void(AttachRun&)> action;
        Texts adds;
        Texts messages;
    } cases[] = {
        {"rows added on top are left alone, every listed row is tried once",
         pauseBeforeRow(2),
         [](AttachRun& t) {
             t.tree.file(L"new.pst", 10);
             t.h->ui().pstList().insert(1, t.path(L"new.pst"), 2);
             t.h->ui().pstList().setChecked(1, true);
             t.h->ui().pstList().insert(1, t.path(L"new.pst"), 2);
         },
         {L"a.pst", L"b.pst", L"c.pst"},
         {kAllAdded}},
        {"a second click runs nothing more",
         pauseBeforeRow(1),
         [](AttachRun& t) { t.click(); },
         {L"a.pst", L"b.pst", L"c.pst"},
         {kAllAdded}},
        {"a row unticked before the run reaches it is skipped",
         pauseBeforeRow(1),
         [](AttachRun& t) { t.h->ui().pstList().setChecked(2, false); },
         {L"a.pst", L"c.pst"},
         {L"2 attached, 1 not ticked."}},
        {"closing stops the run with no message",
         pauseBeforeRow(2),
         [](AttachRun& t) {
             if (auto* tk = dynamic_cast<ui::HeadlessToolkit*>(&t.h->ui())) tk->closeRequest = true;
         },
         {L"a.pst"},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (GetParam() != "headless" && std::string(c.name).find("closing") == 0) continue;
        fill({{L"a.pst", true, L""}, {L"b.pst", true, L""}, {L"c.pst", true, L""}});
        h->at(c.pause, [&] { c.action(*this); });
        click();
        Texts adds;
        for (const auto& n : c.adds) adds.push_back(add(n));
        EXPECT_EQ(outlook.calls(L"AddStore"), adds);
        EXPECT_EQ(messages(), c.messages);
        EXPECT_EQ(outlook.calls(L"create").size(), 1u);
        EXPECT_EQ(outlook.alive, 0);
    }
}

TEST_P(AttachRun, TheRunDisablesTheListButtonsAndGivesTheirStatesBack) {
    fill({{L"a.pst", true, L""}});
    auto& ui = h->ui();
    ui.clearListButton().setEnabled(false);  // a state of its own, to be given back
    ui.selectAll().setEnabled(true);
    std::vector<bool> during;
    h->at(pauseBeforeRow(1), [&] {
        during = {ui.addFileButton().enabled(), ui.addFolderButton().enabled(),
                  ui.clearListButton().enabled(), ui.attachButton().enabled(),
                  ui.selectAll().enabled()};
    });
    outlook.failOn(add(L"a.pst"));
    click();
    EXPECT_EQ(during, std::vector<bool>(5, false));
    EXPECT_EQ((std::vector<bool>{ui.addFileButton().enabled(), ui.addFolderButton().enabled(),
                                 ui.clearListButton().enabled(), ui.attachButton().enabled(),
                                 ui.selectAll().enabled()}),
              (std::vector<bool>{true, true, false, true, true}));
}

// The taskbar button counts the finished rows from 0, turns to the error
// colour on a failure and shows nothing once the run is over, the box
// closed; each ticked row the run reaches is scrolled into view first.
TEST_P(AttachRun, TheTaskbarAndTheListFollowTheRun) {
    const struct {
        const char* name;
        const wchar_t* failOn;  // or null
        Texts taskbar, shown;
    } cases[] = {
        {"every row added", nullptr, {L"0/2", L"1/2", L"2/2", L"clear"}, {L"a.pst", L"c.pst"}},
        {"a failure", L"c.pst", {L"0/2", L"1/2", L"error", L"clear"}, {L"a.pst", L"c.pst"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        fill({{L"a.pst", true, L""}, {L"b.pst", false, L""}, {L"c.pst", true, L""}});
        if (c.failOn) outlook.failOn(add(c.failOn));
        Texts atBox;
        h->dialogs().onMessageBox = [&] { atBox = h->taskbar().events; };
        click();
        EXPECT_EQ(h->taskbar().events, c.taskbar);
        EXPECT_EQ(atBox.back(), c.taskbar[c.taskbar.size() - 2]) << "cleared before the box";
        if (auto* headless = dynamic_cast<ui::HeadlessToolkit*>(&h->ui())) {
            Texts shown;
            for (const auto& name : c.shown) shown.push_back(path(name));
            EXPECT_EQ(headless->list.shownRows, shown);
        }
    }
}

PELORIN_FOR_EACH_HARNESS(AttachRun);

// While a call waits on Outlook (or Outlook starts) the run's watcher shows
// the wait in the current row and answers the message filter: stop once
// Escape or a close came. The stopped call ends the run with its own status,
// the rest of the ticked rows not tried, and no message.
TEST(AttachRunWait, TheRowShowsTheWaitAndEscapeOrCloseStopsIt) {
    const struct {
        const char* name;
        bool escape, close;
        std::wstring call;  // the call that waits, before the tree's path
        Texts statuses;
        bool afterAdd = false;  // only once a.pst's AddStore returned
    } cases[] = {
        {"Escape", true, false, L"AddStore ", {kStatusStoppedWaiting, kStatusNotTried}},
        {"close", false, true, L"AddStore ", {kStatusStoppedWaiting, kStatusNotTried}},
        {"Escape while Outlook starts",
         true,
         false,
         L"GetNamespace MAPI",
         {kStatusNotTried, kStatusNotTried}},
        // The file is with Outlook by then: a stop is no "did not add".
        {"Escape in the check after AddStore",
         true,
         false,
         L"Stores",
         {kStatusStoppedWaiting, kStatusNotTried},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempTree tree;
        tree.file(L"a.pst", 600);
        tree.file(L"b.pst", 600);
        ui::HeadlessToolkit tk;
        for (const wchar_t* name : {L"b.pst", L"a.pst"}) {
            tk.list.insert(1, tree.path(name), 2);
            tk.list.setChecked(1, true);
        }
        tk.selectAll().setValue(1);
        test::ScriptedOutlook scripted;
        std::wstring seen;
        bool stopBefore = true, stopAfter = false, added = false;
        scripted.during = [&](const std::wstring& entry) {
            if (entry == L"AddStore " + tree.path(L"a.pst") && c.afterAdd) added = true;
            if (c.afterAdd != added) return;
            if (entry != c.call + (c.call == L"AddStore " ? tree.path(L"a.pst") : L"")) return;
            outlook::WaitWatcher* watcher = outlook::currentWaitWatcher();
            ASSERT_NE(watcher, nullptr);
            watcher->waiting();
            seen = tk.list.subItem(1, ui::Column::Status);
            stopBefore = watcher->stopWaiting();
            tk.escapePressed = c.escape;
            tk.closeRequest = c.close;
            stopAfter = watcher->stopWaiting();
            // What the message filter's cancel makes of the call.
            throw Error(kErrAutomation, L"canceled", outlook::kHrCallCanceled);
        };
        const auto fs = scan::makePlatformFileSystem();
        RowReasons reasons;
        attachTickedRows(tk, scripted, *fs, reasons);
        EXPECT_EQ(seen, kStatusWaiting);
        EXPECT_FALSE(stopBefore);
        EXPECT_TRUE(stopAfter);
        EXPECT_EQ(test::rowStatuses(tk.list), c.statuses);
        EXPECT_TRUE(tk.dlg.messages.empty());
        EXPECT_EQ(scripted.alive, 0);
        EXPECT_EQ(outlook::currentWaitWatcher(), nullptr);
    }
}

}  // namespace
}  // namespace pelorin::pstlist
