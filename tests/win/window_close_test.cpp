// Closing the real window while an attach run started inside a pause of Add
// File or Add Folder is running, or during a drop: the window stays until
// every click has returned, the outer operation stops as its pause returns,
// and nothing is reported as an error.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

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
    constexpr int kNoAttach = -1;
    const struct {
        const char* name;
        std::function<void(Win32Harness&)> start;  // the outer click
        int attachAt;  // its pause where the attach click lands, or kNoAttach
        int closeAt;   // the pause where the window is closed
    } cases[] = {
        {"Add File", [](Win32Harness& h) { h.click(app::kIdAddFile); }, kAddFileDialogClosed,
         kAddFileDialogClosed + pstlist::kPauseBeforeOutlook},
        {"Add Folder", [](Win32Harness& h) { h.click(app::kIdAddFolder); },
         kScanBeginPauses + 1, kScanBeginPauses + 1 + pstlist::kPauseBeforeOutlook},
        // A drop is no button click: its handler carries out the close too.
        {"a drop",
         [&](Win32Harness& h) {
             ::SendMessageW(h.window().hwnd(), WM_DROPFILES,
                            reinterpret_cast<WPARAM>(makeDrop({tree.path(L"sub")})), 0);
         },
         kNoAttach, kScanBeginPauses + 1},
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
        if (c.attachAt != kNoAttach) h.at(c.attachAt, [&] { h.click(app::kIdAttach); });
        h.at(c.closeAt, [&] { ::SendMessageW(window, WM_CLOSE, 0, 0); });
        c.start(h);
        EXPECT_FALSE(::IsWindow(window));
        // The outer click stops as the pause it was in returns.
        EXPECT_EQ(h.doEventsCalls(), c.closeAt) << "the outer click went on after the close";
        EXPECT_TRUE(h.unhandled.empty());
        EXPECT_TRUE(h.dialogs().messages.empty());
    }
}

}  // namespace
}  // namespace pelorin::test
