// The real window's list: Delete and Ctrl+A as keys, the context menu from
// the keyboard and its items, and files dropped with a real HDROP.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "pstlist/pst_list.h"
#include "support/rows.h"
#include "support/scripted_outlook.h"
#include "ui/busy_lock.h"
#include "support/temp_tree.h"
#include "win/harness_win.h"

namespace pelorin::test {
namespace {

using Texts = std::vector<std::wstring>;

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// A key on the list as the keyboard delivers it, with Ctrl held or not.
void press(HWND list, WORD key, bool control) {
    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
    SendMessageW(list, WM_KEYDOWN, key, 1);
    SendMessageW(list, WM_KEYUP, key, 0xC0000001);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

// While the menu is open: the screen over the window, then the menu closes.
void CALLBACK shootMenuAndClose(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    const HWND menu = FindWindowW(L"#32768", nullptr);
    if (menu) UpdateWindow(menu);
    saveScreenShot(window, ".menu", menu);
    EndMenu();
}

struct MenuState {
    Texts texts;
    bool greyed = false;
};

MenuState readMenu(HMENU menu) {
    MenuState state;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64]{};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        state.texts.push_back(text);
        state.greyed = state.greyed ||
                       (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) != 0;
    }
    return state;
}

class WindowList : public testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* name : {L"c.pst", L"b.pst", L"a.pst"}) {
            tree.file(name, 10);
            pstlist::insertPstRow(h.ui(), tree.path(name), 10);
        }
        pstlist::refreshTotal(h.ui());
    }
    HWND list() { return h.control(app::kIdPstList); }
    Texts rows() { return rowTexts(h.ui().pstList()); }

    TempTree tree;
    Win32Harness h;
};

TEST_F(WindowList, KeysAndTheContextMenuActOnTheHighlightedRows) {
    press(list(), 'A', true);  // Ctrl+A: several rows may be highlighted
    EXPECT_EQ(pstlist::highlightedPaths(h.ui().pstList()), rows());

    MenuState seen;
    h.pickMenuItem = [&](HMENU menu) {
        seen = readMenu(menu);
        return static_cast<int>(app::kIdCopyPaths);
    };
    SendMessageW(h.window().hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list()), -1);
    EXPECT_EQ(seen.texts, (Texts{L"&Remove\tDel", L"&Copy path", L"&Open containing folder"}));
    EXPECT_FALSE(seen.greyed);
    EXPECT_EQ(h.clipboardText(), tree.path(L"a.pst") + L"\r\n" + tree.path(L"b.pst") + L"\r\n" +
                                     tree.path(L"c.pst") + L"\r\n");

    h.ui().pstList().setHighlighted(1, false);
    h.ui().pstList().setHighlighted(3, false);
    h.pickMenuItem = [](HMENU) { return static_cast<int>(app::kIdOpenFolder); };
    SendMessageW(h.window().hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list()), -1);
    EXPECT_EQ(h.shownInFolder, Texts{tree.path(L"b.pst")});

    press(list(), VK_DELETE, false);
    EXPECT_EQ(rows(), (Texts{tree.path(L"a.pst"), tree.path(L"c.pst")}));
    wchar_t total[16]{};
    GetWindowTextW(h.control(app::kIdTotal), total, 16);
    EXPECT_STREQ(total, L"2");
}

// The real menu, opened from the keyboard over a highlighted row, shot while
// open, then closed without a choice: nothing changes.
TEST_F(WindowList, TheRealContextMenuOpensAndClosesWithoutAChoice) {
    h.ui().pstList().setHighlighted(2, true);
    h.window().toolkit().showPendingRows();
    UpdateWindow(list());
    const HWND window = h.window().hwnd();
    int chosen = -1;
    h.pickMenuItem = [&](HMENU menu) {
        SetTimer(window, 1, 500, shootMenuAndClose);
        RECT row{LVIR_BOUNDS};
        SendMessageW(list(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
        POINT at{row.left + 40, row.bottom};
        ClientToScreen(list(), &at);
        chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, window, nullptr);
        return chosen;
    };
    SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list()), -1);
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(rows().size(), 3u);
}

TEST_F(WindowList, ARealDropAddsItsFilesAndIsRefusedWhileBusy) {
    tree.file(L"dropped/x.pst", 10);
    tree.file(L"dropped/y.txt", 10);
    PostMessageW(h.window().hwnd(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(
                     makeDrop({tree.path(L"dropped/y.txt"), tree.path(L"dropped/x.pst")})),
                 0);
    pump();
    EXPECT_EQ(rows().front(), tree.path(L"dropped/x.pst"));
    EXPECT_EQ(rows().size(), 4u);
    ASSERT_EQ(h.dialogs().messages.size(), 1u);
    EXPECT_EQ(h.dialogs().messages[0].text, L"1 dropped file is not a PST file and was skipped.");

    const ui::BusyLock busy(h.ui(), ui::Busy::Attaching);
    MenuState seen;
    h.pickMenuItem = [&](HMENU menu) {
        seen = readMenu(menu);
        return 0;
    };
    SendMessageW(h.window().hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list()), -1);
    EXPECT_TRUE(seen.greyed);
    PostMessageW(h.window().hwnd(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(makeDrop({tree.path(L"dropped/x.pst")})), 0);
    pump();
    EXPECT_EQ(rows().size(), 4u);
}

// The real window after a run that failed in the middle: the rows before the
// failure are Done, the ticked rows after it say Not tried, and the one box
// counts them (the window is left for `make shots`).
TEST(WindowRun, AFailureInTheMiddleLeavesEveryRowSayingWhatHappened) {
    auto scripted = std::make_unique<ScriptedOutlook>();
    ScriptedOutlook& outlook = *scripted;
    TempTree tree;
    Win32Harness h(std::move(scripted));
    const Texts names = {L"e.pst", L"d.pst", L"c.pst", L"b.pst", L"a.pst"};
    for (const auto& name : names) {
        tree.file(name, 2048);
        pstlist::insertPstRow(h.ui(), tree.path(name), 2048);
        h.ui().pstList().setChecked(1, name != L"b.pst");
    }
    pstlist::refreshTotal(h.ui());
    outlook.failOn(L"AddStore " + tree.path(L"c.pst"), -2147024864, L"The file is in use");
    h.click(app::kIdAttach);
    EXPECT_EQ(rowStatuses(h.ui().pstList()),
              (Texts{L"Done", L"", L"Failed: in use", L"Not tried", L"Not tried"}));
    ASSERT_EQ(h.dialogs().messages.size(), 1u);
    const std::wstring& text = h.dialogs().messages[0].text;
    EXPECT_EQ(text.substr(text.rfind(L"\n\n") + 2),
              L"1 attached, 1 failed, 2 not tried, 1 not ticked.");
}

}  // namespace
}  // namespace pelorin::test
