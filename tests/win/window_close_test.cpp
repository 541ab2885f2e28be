// Closing the real window while an attach run started inside a pause of Add
// File or Add Folder is running: the window stays until every click has
// returned, the outer operation stops as its pause returns, and nothing is
// reported as an error.
#include <windows.h>

#include <gtest/gtest.h>

#include "pstlist/attach_run.h"
#include "support/pauses.h"
#include "support/temp_tree.h"
#include "win/harness_win.h"

namespace pelorin::test {
namespace {

TEST(WindowClose, AClosingRunInsideAnotherClickEndsBothThenTheWindow) {
    TempTree tree;
    tree.folder(L"sub");
    for (const wchar_t* name : {L"a.pst", L"b.pst", L"sub/c.pst"}) tree.file(name, 10);
    const struct {
        const char* name;
        app::ControlId outer;
        int attachAt;  // the outer click's pause where the attach click lands
    } cases[] = {
        {"Add File", app::kIdAddFile, kAddFileDialogClosed},
        {"Add Folder", app::kIdAddFolder, kScanBeginPauses + 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Win32Harness h;
        h.fileDialog().answers = {tree.path() + L'\0' + L"a.pst" + L'\0' + L"b.pst"};
        h.dialogs().folderAnswers = {tree.path()};
        h.ui().pstList().insert(1, tree.path(L"a.pst"), 2);
        h.ui().pstList().setChecked(1, true);
        h.ui().selectAll().setValue(1);
        h.ui().attachButton().setEnabled(true);
        const HWND window = h.window().hwnd();
        h.at(c.attachAt, [&] { h.click(app::kIdAttach); });
        // The attach run's first pause is the next one.
        h.at(c.attachAt + pstlist::kPauseBeforeOutlook,
             [&] { ::SendMessageW(window, WM_CLOSE, 0, 0); });
        h.click(c.outer);
        EXPECT_FALSE(::IsWindow(window));
        // The outer click stops as the pause it was in returns.
        EXPECT_EQ(h.doEventsCalls(), c.attachAt + pstlist::kPauseBeforeOutlook)
            << "the outer click went on after the close";
        EXPECT_TRUE(h.unhandled.empty());
        EXPECT_TRUE(h.dialogs().messages.empty());
    }
}

}  // namespace
}  // namespace pelorin::test
