// The PST list's keys (Delete, Ctrl+A), its context menu (right click,
// Shift+F10, the Menu key) and files dropped onto the window. Each ends in a
// command of the table in main_window_actions.cpp, which refuses it while the
// window is busy.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "pstlist/pst_list.h"

namespace pelorin::app {
namespace {

struct MenuItem {
    ControlId id;
    const wchar_t* text;
};
constexpr MenuItem kMenuItems[] = {
    {ui::kIdRemoveRows, L"&Remove\tDel"},
    {ui::kIdCopyPaths, L"&Copy path"},
    {ui::kIdOpenFolder, L"&Open containing folder"},
};

// Every item greyed while the window is busy or no row is highlighted.
UniqueMenu makeContextMenu(bool usable) {
    UniqueMenu menu(CreatePopupMenu());
    if (!menu) return menu;
    for (const MenuItem& item : kMenuItems)
        AppendMenuW(menu.get(), MF_STRING | (usable ? MF_ENABLED : MF_GRAYED),
                    static_cast<UINT_PTR>(item.id), item.text);
    return menu;
}

// The paths a drop names, in the order dropped.
std::vector<std::wstring> droppedPaths(HDROP drop) {
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(std::move(path));
    }
    return paths;
}

}  // namespace

void MainWindow::acceptDrops() { DragAcceptFiles(hwnd_.get(), TRUE); }

void MainWindow::onListKey(WORD key) {
    const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    if (key == VK_DELETE)
        guardedCall([this] { actions_->run(ui::kIdRemoveRows); });
    else if (key == 'A' && control)
        guardedCall([this] { actions_->run(ui::kIdHighlightAll); });
}

// From the keyboard (-1, -1): below the focused row, or the list's corner.
POINT MainWindow::contextMenuPoint(LPARAM where) const {
    POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
    if (where != static_cast<LPARAM>(-1)) return at;
    const HWND list = control(kIdPstList);
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    const auto focused = SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
    at = {0, 0};
    if (focused >= 0 &&
        SendMessageW(list, LVM_GETITEMRECT, focused, reinterpret_cast<LPARAM>(&row)))
        at = {row.left + 16, row.bottom};
    ClientToScreen(list, &at);
    return at;
}

void MainWindow::onContextMenu(LPARAM where) {
    if (!actions_) return;
    const POINT at = contextMenuPoint(where);
    const bool usable = toolkit_->busyWith() == ui::Busy::None &&
                        !pstlist::highlightedPaths(toolkit_->pstList()).empty();
    const UniqueMenu menu = makeContextMenu(usable);
    if (!menu) return;
    const int chosen =
        options_.trackMenu
            ? options_.trackMenu(menu.get(), at)
            : TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y,
                             0, hwnd_.get(), nullptr);
    if (chosen != 0) guardedCall([this, chosen] { actions_->run(static_cast<ControlId>(chosen)); });
}

// The drop's handle is freed before the files are added: adding pauses, and
// the shell's drag loop does not wait for it.
void MainWindow::onDropFiles(HDROP drop) {
    const std::vector<std::wstring> paths = droppedPaths(drop);
    DragFinish(drop);
    if (actions_) guardedCall([this, &paths] { actions_->addDropped(paths); });
}

}  // namespace pelorin::app
