#include "ui/toolkit_win.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "base/error.h"
#include "base/handles_win.h"

namespace pelorin::ui {
namespace {

[[noreturn]] void badIndex() { throw Error(kErrSubscript, L"Index out of bounds"); }

LRESULT send(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(hwnd, message, wParam, lParam);
}

// Moves the focus on to the next control in tab order when `hwnd` has it and
// is about to be disabled, so the keyboard never ends up on a dead control.
void moveFocusOffBeforeDisable(HWND hwnd) {
    if (GetFocus() != hwnd) return;
    const HWND parent = GetParent(hwnd);
    const HWND next = GetNextDlgTabItem(parent, hwnd, FALSE);
    SetFocus(next && next != hwnd ? next : parent);
}

}  // namespace

// --- list view ---------------------------------------------------------------

int Win32ListView::count() const { return static_cast<int>(send(hwnd_, LVM_GETITEMCOUNT)); }

int Win32ListView::item(int row) const {
    if (row < 1 || row > count()) badIndex();
    return row - 1;
}

void Win32ListView::insert(int index, const std::wstring& text, int smallIcon) {
    if (index < 1 || index > count() + 1) badIndex();
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
    item.iItem = index - 1;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.iImage = smallIcon - 1;            // images are numbered from 1
    item.state = INDEXTOSTATEIMAGEMASK(1);  // unticked
    item.stateMask = LVIS_STATEIMAGEMASK;
    if (!drawingSuspended_) {
        send(hwnd_, WM_SETREDRAW, FALSE);
        drawingSuspended_ = true;
    }
    if (send(hwnd_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) < 0)
        throw Error(kErrOutOfMemory, L"Out of memory");
}

void Win32ListView::resumeDrawing() {
    if (!drawingSuspended_) return;
    drawingSuspended_ = false;
    send(hwnd_, WM_SETREDRAW, TRUE);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

std::wstring Win32ListView::itemText(int item, int subItem) const {
    // Paths may be longer than MAX_PATH: grow until the text fits.
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (;;) {
        LVITEMW request{};
        request.iSubItem = subItem;
        request.pszText = buffer.data();
        request.cchTextMax = static_cast<int>(buffer.size());
        const auto length = static_cast<size_t>(
            send(hwnd_, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&request)));
        if (length + 1 < buffer.size() || buffer.size() >= (1u << 20))
            return std::wstring(request.pszText, length);
        buffer.resize(buffer.size() * 4);
    }
}

std::wstring Win32ListView::text(int row) const { return itemText(item(row), 0); }

std::wstring Win32ListView::subItem(int row, Column column) const {
    const int n = columnIndex(column);
    if (n < 0 || n >= kColumnCount) badIndex();
    return itemText(item(row), n);
}

void Win32ListView::setSubItem(int row, Column column, const std::wstring& text) {
    const int n = columnIndex(column);
    if (n < 0 || n >= kColumnCount) badIndex();
    LVITEMW request{};
    request.iSubItem = n;
    request.pszText = const_cast<wchar_t*>(text.c_str());
    send(hwnd_, LVM_SETITEMTEXTW, item(row), reinterpret_cast<LPARAM>(&request));
}

bool Win32ListView::checked(int row) const {
    const auto state = send(hwnd_, LVM_GETITEMSTATE, item(row), LVIS_STATEIMAGEMASK);
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

bool Win32ListView::highlighted(int row) const {
    return (send(hwnd_, LVM_GETITEMSTATE, item(row), LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void Win32ListView::setHighlighted(int row, bool value) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = value ? LVIS_SELECTED : 0;
    send(hwnd_, LVM_SETITEMSTATE, item(row), reinterpret_cast<LPARAM>(&state));
}

void Win32ListView::remove(int row) { send(hwnd_, LVM_DELETEITEM, item(row)); }

void Win32ListView::setChecked(int row, bool value) {
    LVITEMW request{};
    request.state = INDEXTOSTATEIMAGEMASK(value ? 2 : 1);
    request.stateMask = LVIS_STATEIMAGEMASK;
    send(hwnd_, LVM_SETITEMSTATE, item(row), reinterpret_cast<LPARAM>(&request));
}

void Win32ListView::clear() { send(hwnd_, LVM_DELETEALLITEMS); }

void Win32ListView::ensureVisible(int row) {
    resumeDrawing();
    send(hwnd_, LVM_ENSUREVISIBLE, item(row), FALSE);
}

// --- check box, button, label ------------------------------------------------

int Win32CheckBox::value() const {
    switch (send(hwnd_, BM_GETCHECK)) {
    case BST_CHECKED: return 1;
    case BST_INDETERMINATE: return 2;
    default: return 0;
    }
}

void Win32CheckBox::setValue(int value) {
    const WPARAM state = value == 1 ? BST_CHECKED : value == 2 ? BST_INDETERMINATE : BST_UNCHECKED;
    send(hwnd_, BM_SETCHECK, state);
}

bool Win32CheckBox::enabled() const { return IsWindowEnabled(hwnd_) != FALSE; }

void Win32CheckBox::setEnabled(bool enabled) {
    if (!enabled) moveFocusOffBeforeDisable(hwnd_);
    EnableWindow(hwnd_, enabled);
}

bool Win32Button::enabled() const { return IsWindowEnabled(hwnd_) != FALSE; }

void Win32Button::setEnabled(bool enabled) {
    if (!enabled) moveFocusOffBeforeDisable(hwnd_);
    EnableWindow(hwnd_, enabled);
}

std::wstring Win32Label::caption() const {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Win32Label::setCaption(const std::wstring& caption) { SetWindowTextW(hwnd_, caption.c_str()); }

// --- dialogs -----------------------------------------------------------------

std::wstring Win32Dialogs::browseFolder(const std::wstring& title) {
    return pickFolder_ ? pickFolder_(owner_, title) : std::wstring();
}

void Win32Dialogs::messageBox(const std::wstring& text, Icon icon) {
    MessageBoxW(owner_, text.c_str(), title_.c_str(), MB_OK | static_cast<UINT>(icon));
}

// --- the toolkit -------------------------------------------------------------

void dispatchMessageFor(HWND owner, MSG& msg) {
    if (owner && IsWindow(owner) && IsDialogMessageW(owner, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

Win32Toolkit::Win32Toolkit(HWND owner, std::wstring appTitle, FolderPicker pickFolder)
    : owner_(owner),
      list_(GetDlgItem(owner, kIdPstList)),
      totalLabel_(GetDlgItem(owner, kIdTotal)),
      dialogs_(owner, std::move(appTitle), std::move(pickFolder)),
      fileDialog_(owner, [this]() -> Dialogs& { return dialogs(); }),
      taskbar_(owner) {
    for (const ControlRow& row : kControlRows) {
        const HWND hwnd = GetDlgItem(owner, row.id);
        if (row.kind == ControlKind::Button) buttons_.emplace(row.id, hwnd);
        if (row.kind == ControlKind::CheckBox) checkBoxes_.emplace(row.id, hwnd);
    }
}

Button& Win32Toolkit::button(ControlId id) {
    if (auto it = buttons_.find(id); it != buttons_.end()) return it->second;
    return checkBox(id);
}

CheckBox& Win32Toolkit::checkBox(ControlId id) {
    if (auto it = checkBoxes_.find(id); it != checkBoxes_.end()) return it->second;
    throw Error(kErrInternal, L"No button or check box with id " + std::to_wstring(id));
}

// A dialog is asked for just before it opens: the list shows its rows first.
FileDialog& Win32Toolkit::fileDialog() {
    list_.resumeDrawing();
    return fileDialogOverride_ ? *fileDialogOverride_ : fileDialog_;
}

Dialogs& Win32Toolkit::dialogs() {
    list_.resumeDrawing();
    return dialogsOverride_ ? *dialogsOverride_ : dialogs_;
}

// The text as CF_UNICODETEXT; the clipboard owns the memory once it took it.
bool Win32Toolkit::copyText(const std::wstring& text) {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) return false;
    void* target = GlobalLock(memory.get());
    if (!target) return false;
    memcpy(target, text.c_str(), bytes);
    GlobalUnlock(memory.get());
    const pelorin::OpenClipboard clipboard(owner_);
    if (!clipboard || !EmptyClipboard()) return false;
    if (!SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
    memory.release();
    return true;
}

void Win32Toolkit::setCursor(Cursor cursor) {
    cursor_ = cursor;
    // The window answers WM_SETCURSOR from cursor(); this shows it at once.
    SetCursor(LoadCursorW(nullptr, cursor == Cursor::Hourglass ? IDC_WAIT : IDC_ARROW));
}

wchar_t Win32Toolkit::decimalSeparator() const {
    wchar_t text[8]{};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, text, 8) > 1) return text[0];
    return L'.';
}

void Win32Toolkit::doEvents() {
    const int call = ++doEventsCalls_;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPump_ >= kPumpInterval) {
        if (now - lastRedraw_ >= kRedrawInterval) {
            list_.resumeDrawing();
            lastRedraw_ = now;
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            dispatchMessageFor(owner_, msg);
        }
        lastPump_ = std::chrono::steady_clock::now();
    }
    if (hook_) hook_(call);
}

}  // namespace pelorin::ui
