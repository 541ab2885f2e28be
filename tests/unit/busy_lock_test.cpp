// The busy lock and the command table read the control rows: what each kind
// of busy greys and refuses, given back however locks nest, on both toolkits.
#include <gtest/gtest.h>

#include <map>

#include "app/main_window_actions.h"
#include "scan/filesystem.h"
#include "support/error_of.h"
#include "support/harness_test.h"
#include "support/scripted_outlook.h"
#include "ui/busy_lock.h"

namespace pelorin::ui {
namespace {

using test::HarnessTest;

class BusyLockTest : public HarnessTest {
protected:
    // Every button and check box of the table with its enabled state.
    std::map<ControlId, bool> states() {
        std::map<ControlId, bool> out;
        for (const ControlRow& row : kControlRows)
            if (row.kind == ControlKind::Button || row.kind == ControlKind::CheckBox)
                out[row.id] = ui().button(row.id).enabled();
        return out;
    }
    // `before` with the controls locked while busy with `kind` greyed.
    static std::map<ControlId, bool> lockedFrom(std::map<ControlId, bool> before, Busy kind) {
        for (auto& [id, enabled] : before) enabled = enabled && !lockedNow(id, kind);
        return before;
    }
};

TEST_P(BusyLockTest, StartsAsTheRowsSayAndNoOtherControlIsAButton) {
    for (const ControlRow& row : kControlRows) {
        SCOPED_TRACE(row.id);
        const bool clickable = row.kind == ControlKind::Button || row.kind == ControlKind::CheckBox;
        if (clickable) {
            EXPECT_EQ(ui().button(row.id).enabled(), row.enabledAtStart);
        } else {
            EXPECT_EQ(test::errorOf([&] { ui().button(row.id); }), kErrInternal);
        }
    }
    EXPECT_EQ(test::errorOf([&] { ui().checkBox(kIdAttach); }), kErrInternal);
}

TEST_P(BusyLockTest, EachKindGreysItsRowsAndNestedLocksGiveEveryStateBack) {
    const struct {
        Busy outer, inner;
    } cases[] = {{Busy::Attaching, Busy::Adding},
                 {Busy::Adding, Busy::Attaching},
                 {Busy::Attaching, Busy::Attaching}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<unsigned>(c.outer) * 10 + static_cast<unsigned>(c.inner));
        ui().clearListButton().setEnabled(false);  // a state of its own, to be given back
        ui().selectAll().setEnabled(true);
        const auto before = states();
        {
            const BusyLock outer(ui(), c.outer);
            EXPECT_EQ(states(), lockedFrom(before, c.outer));
            {
                const BusyLock inner(ui(), c.inner);
                EXPECT_EQ(ui().busyWith(), c.outer | c.inner);
                EXPECT_EQ(states(), lockedFrom(before, c.outer | c.inner));
            }
            EXPECT_EQ(ui().busyWith(), c.outer);
            EXPECT_EQ(states(), lockedFrom(before, c.outer));
        }
        EXPECT_EQ(ui().busyWith(), Busy::None);
        EXPECT_EQ(states(), before);
    }
}

TEST_P(BusyLockTest, TheCommandTableRefusesWhatTheWindowIsBusyWith) {
    test::ScriptedOutlook outlook;
    std::vector<std::wstring> pages;
    app::MainWindowActions actions(
        ui(), [] { return scan::makePlatformFileSystem(); }, outlook,
        [&](const std::wstring& url) { pages.push_back(url); });
    ui().pstList().insert(1, L"C:\\a.pst", 2);
    {
        const BusyLock busy(ui(), Busy::Attaching);
        EXPECT_FALSE(actions.run(kIdClearList));  // locked: the row stays
        EXPECT_EQ(ui().pstList().count(), 1);
        EXPECT_TRUE(actions.run(kIdHelpLink));  // not locked
        EXPECT_EQ(pages.size(), 1u);
    }
    EXPECT_FALSE(actions.run(kIdWarning));  // no handler
    EXPECT_TRUE(actions.run(kIdClearList));
    EXPECT_EQ(ui().pstList().count(), 0);
}

PELORIN_FOR_EACH_HARNESS(BusyLockTest);

}  // namespace
}  // namespace pelorin::ui
