// The list's own commands (Delete, Ctrl+A, the context menu's Remove, Copy
// path and Open containing folder) and a drop of files and folders, through
// the command table, on the headless toolkit and the real window.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/main_window_actions.h"
#include "pstlist/pst_list.h"
#include "scan/filesystem.h"
#include "support/harness_test.h"
#include "support/scripted_outlook.h"
#include "support/temp_tree.h"
#include "ui/busy_lock.h"

namespace pelorin::app {
namespace {

using Texts = std::vector<std::wstring>;
using ui::ControlId;
using enum ui::ControlId;

class ListCommands : public test::HarnessTest {
protected:
    void SetUp() override {
        HarnessTest::SetUp();
        actions = std::make_unique<MainWindowActions>(
            ui(), [] { return scan::makePlatformFileSystem(); }, outlook, nullptr,
            [this](const std::wstring& p) { shown.push_back(p); });
        fillRows();
    }
    void fillRows() {
        list().clear();
        for (const wchar_t* p : {L"C:\\c.pst", L"C:\\b.pst", L"C:\\a.pst"})
            pstlist::insertPstRow(ui(), p, 1);
        pstlist::refreshTotal(ui());
        ui().selectAll().setEnabled(true);
    }
    void highlight(const std::vector<int>& rows) {
        for (int row : rows) list().setHighlighted(row, true);
    }
    Texts highlighted() { return pstlist::highlightedPaths(list()); }

    test::ScriptedOutlook outlook;
    Texts shown;
    std::unique_ptr<MainWindowActions> actions;
};

TEST_P(ListCommands, EachCommandOnTheHighlightedRows) {
    const struct {
        const char* name;
        std::vector<int> rows;  // highlighted before the command
        ControlId command;
        Texts rowsAfter;
        Texts highlightedAfter;
        std::wstring clipboard;
        Texts shown;
        bool selectAllEnabled;
        int selectAllAfter = 1;  // ticked before each command
    } cases[] = {
        {"Delete removes the highlighted rows",
         {1, 3},
         kIdRemoveRows,
         {L"C:\\b.pst"},
         {},
         L"",
         {},
         true},
        {"removing every row unticks and greys Select All, as at the start",
         {1, 2, 3},
         kIdRemoveRows,
         {},
         {},
         L"",
         {},
         false,
         0},
        {"Delete with nothing highlighted",
         {},
         kIdRemoveRows,
         {L"C:\\a.pst", L"C:\\b.pst", L"C:\\c.pst"},
         {},
         L"",
         {},
         true},
        {"Ctrl+A highlights every row",
         {2},
         kIdHighlightAll,
         {L"C:\\a.pst", L"C:\\b.pst", L"C:\\c.pst"},
         {L"C:\\a.pst", L"C:\\b.pst", L"C:\\c.pst"},
         L"",
         {},
         true},
        {"Copy path: one a line",
         {2, 3},
         kIdCopyPaths,
         {L"C:\\a.pst", L"C:\\b.pst", L"C:\\c.pst"},
         {L"C:\\b.pst", L"C:\\c.pst"},
         L"C:\\b.pst\r\nC:\\c.pst\r\n",
         {},
         true},
        {"Open containing folder: the first highlighted row",
         {2, 3},
         kIdOpenFolder,
         {L"C:\\a.pst", L"C:\\b.pst", L"C:\\c.pst"},
         {L"C:\\b.pst", L"C:\\c.pst"},
         L"",
         {L"C:\\b.pst"},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fillRows();
        shown.clear();
        ui().copyText(L"");
        ui().selectAll().setValue(1);
        highlight(c.rows);
        EXPECT_TRUE(actions->run(c.command));
        EXPECT_EQ(texts(), c.rowsAfter);
        EXPECT_EQ(highlighted(), c.highlightedAfter);
        EXPECT_EQ(h->clipboardText(), c.clipboard);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(ui().totalLabel().caption(), std::to_wstring(c.rowsAfter.size()));
        EXPECT_EQ(ui().selectAll().enabled(), c.selectAllEnabled);
        EXPECT_EQ(ui().selectAll().value(), c.selectAllAfter);
    }
}

TEST_P(ListCommands, EveryCommandAndADropAreRefusedWhileTheWindowIsBusy) {
    test::TempTree tree;
    tree.file(L"d.pst", 10);
    for (ui::Busy busy : {ui::Busy::Attaching, ui::Busy::Adding}) {
        highlight({1, 2, 3});
        const ui::BusyLock lock(ui(), busy);
        for (ControlId id : {kIdRemoveRows, kIdCopyPaths, kIdOpenFolder, kIdHighlightAll})
            EXPECT_FALSE(actions->run(id)) << id;
        EXPECT_FALSE(actions->addDropped({tree.path(L"d.pst")}));
        EXPECT_EQ(texts().size(), 3u);
        EXPECT_TRUE(shown.empty());
    }
}

// Dropped files and folders are added in the order dropped, as Add File and
// Add Folder add them; the files that are not PSTs are counted once.
TEST_P(ListCommands, ADropAddsFilesAndFoldersInTheOrderDropped) {
    test::TempTree tree;
    tree.file(L"one.pst", 1024);
    tree.file(L"notes.txt", 1);
    tree.file(L"dir/sub/two.PST", 2048);
    tree.file(L"dir/skip.doc", 1);
    tree.file(L"three.pst", 0);
    list().clear();
    ui().selectAll().setEnabled(false);
    EXPECT_TRUE(
        actions->addDropped({tree.path(L"one.pst"), tree.path(L"notes.txt"), tree.path(L"dir"),
                             tree.path(L"three.pst"), tree.path(L"gone.doc")}));
    EXPECT_EQ(texts(), (Texts{tree.path(L"three.pst"), tree.path(L"dir/sub/two.PST"),
                              tree.path(L"one.pst")}));
    EXPECT_EQ(ui().totalLabel().caption(), L"3");
    EXPECT_TRUE(ui().selectAll().enabled());
    ASSERT_EQ(h->dialogs().messages.size(), 1u);
    EXPECT_EQ(h->dialogs().messages[0].text,
              L"2 dropped files are not PST files and were skipped.");
}

PELORIN_FOR_EACH_HARNESS(ListCommands);

}  // namespace
}  // namespace pelorin::app
