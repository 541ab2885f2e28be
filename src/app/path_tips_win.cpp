#include "app/path_tips_win.h"

#include <windowsx.h>

#include <utility>
#include <vector>

namespace pelorin::app {
namespace {

constexpr int kTextMargin = 2;  // the list's own gap around a label

std::wstring itemText(HWND list, int item, int subItem) {
    std::vector<wchar_t> buffer(512);
    for (;;) {
        LVITEMW lvi{};
        lvi.iSubItem = subItem;
        lvi.pszText = buffer.data();
        lvi.cchTextMax = static_cast<int>(buffer.size());
        const auto length = static_cast<size_t>(SendMessageW(
            list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lvi)));
        if (length + 1 < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

// Column 0's text rectangle of `item`: right of the box and the icon, left of column 1.
RECT labelRect(HWND list, int item) {
    RECT label{LVIR_LABEL, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(&label));
    RECT next{LVIR_BOUNDS, 0, 0, 0};
    next.top = 1;
    if (SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(item),
                     reinterpret_cast<LPARAM>(&next)) &&
        next.left < label.right)
        label.right = next.left;
    return label;
}

}  // namespace

// A path shortened at its start: "…\employee.sales09\2019\Mail.pst", with
// as many of the last folders as fit; the ellipsis of DT_PATH_ELLIPSIS
// when not even the file name fits.
std::wstring pathAsDrawn(HWND list, int item, int width) {
    const std::wstring full = itemText(list, item, 0);
    const WindowDc dc(list);
    const HGDIOBJ old =
        SelectObject(dc.get(), reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    auto fits = [&](const std::wstring& text) {
        SIZE size{};
        GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx <= width;
    };
    std::wstring shown = full;
    if (!fits(full)) {
        shown.clear();
        for (size_t slash = full.find(L'\\'); slash != std::wstring::npos && shown.empty();
             slash = full.find(L'\\', slash + 1)) {
            const std::wstring candidate = L"\u2026" + full.substr(slash);
            if (fits(candidate)) shown = candidate;
        }
        if (shown.empty()) {
            const size_t last = full.find_last_of(L'\\');
            std::vector<wchar_t> buffer(full.begin() + (last == std::wstring::npos ? 0 : last + 1),
                                        full.end());
            buffer.resize(buffer.size() + 5, L'\0');  // room for the ellipsis
            RECT r{0, 0, width, 100};
            DrawTextW(
                dc.get(), buffer.data(), -1, &r,
                DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_MODIFYSTRING | DT_CALCRECT);
            shown = buffer.data();
        }
    }
    SelectObject(dc.get(), old);
    return shown;
}

PathTips::PathTips(HWND window, HWND list, int maxTipWidth,
                   std::function<std::wstring(int row)> tipFor)
    : window_(window), list_(list), tipFor_(std::move(tipFor)) {
    tip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                               GetModuleHandleW(nullptr), nullptr));
    if (tip_) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = window;
        tool.uId = reinterpret_cast<UINT_PTR>(list);
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(tip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        setMaxTipWidth(maxTipWidth);
    }
}

PathTips::~PathTips() = default;

void PathTips::setMaxTipWidth(int width) {
    if (tip_) SendMessageW(tip_.get(), TTM_SETMAXTIPWIDTH, 0, width);
}

int PathTips::itemAt(POINT point) const {
    LVHITTESTINFO hit{};
    hit.pt = point;
    const auto item =
        static_cast<int>(SendMessageW(list_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return (hit.flags & LVHT_ONITEM) ? item : -1;
}

// The tooltip follows the pointer from row to row: a new row hides the old
// tip, and the tooltip asks for the new row's text when it shows again.
void PathTips::onMouseMove(const MSG& message) {
    if (!tip_) return;
    MSG relayed = message;
    SendMessageW(tip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    const int item = itemAt({GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)});
    if (item == shownItem_) return;
    shownItem_ = item;
    SendMessageW(tip_.get(), TTM_POP, 0, 0);
    SendMessageW(tip_.get(), TTM_ACTIVATE, item >= 0, 0);
}

void PathTips::onSetCursor(HWND under, UINT mouseMessage) {
    if (under != list_) return;
    if (mouseMessage != WM_MOUSEMOVE && mouseMessage != WM_LBUTTONDOWN &&
        mouseMessage != WM_RBUTTONDOWN)
        return;
    POINT at{};
    GetCursorPos(&at);
    if (mouseMessage == WM_MOUSEMOVE) {
        if (at.x == lastMove_.x && at.y == lastMove_.y) return;
        lastMove_ = at;
    }
    ScreenToClient(list_, &at);
    MSG relayed{};
    relayed.hwnd = list_;
    relayed.message = mouseMessage;
    relayed.lParam = MAKELPARAM(at.x, at.y);
    relayed.pt = at;
    onMouseMove(relayed);
}

std::optional<LRESULT> PathTips::onNotify(const NMHDR& header) {
    if (header.hwndFrom == list_ && header.code == NM_CUSTOMDRAW)
        return onCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(
            const_cast<NMHDR*>(&header)));  // the list hands out a writable record
    if (header.hwndFrom == tip_.get() && header.code == TTN_GETDISPINFOW) {
        auto& info = *reinterpret_cast<NMTTDISPINFOW*>(const_cast<NMHDR*>(&header));
        POINT at{};
        GetCursorPos(&at);
        ScreenToClient(list_, &at);
        const int item = itemAt(at);
        tipText_ = item >= 0 ? tipFor_(item + 1) : std::wstring();
        info.lpszText = tipText_.data();
        return 0;
    }
    return std::nullopt;
}

// The list draws each row as always; a path too long for its column is then
// drawn again over its label, shortened at its start.
LRESULT PathTips::onCustomDraw(NMLVCUSTOMDRAW& draw) {
    const DWORD stage = draw.nmcd.dwDrawStage;
    if (stage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (stage == CDDS_ITEMPREPAINT) return CDRF_NOTIFYPOSTPAINT;
    if (stage != CDDS_ITEMPOSTPAINT) return CDRF_DODEFAULT;
    const int item = static_cast<int>(draw.nmcd.dwItemSpec);
    RECT label = labelRect(list_, item);
    const int width = label.right - label.left - 2 * kTextMargin;
    if (width <= 0) return CDRF_DODEFAULT;
    const std::wstring full = itemText(list_, item, 0);
    const std::wstring shown = pathAsDrawn(list_, item, width);
    if (shown == full) return CDRF_DODEFAULT;
    const bool highlighted =
        SendMessageW(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_SELECTED) &&
        GetFocus() == list_;
    const HDC dc = draw.nmcd.hdc;
    const int saved = SaveDC(dc);
    FillRect(dc, &label, GetSysColorBrush(highlighted ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    InflateRect(&label, -kTextMargin, 0);
    DrawTextW(dc, shown.c_str(), -1, &label, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
    RestoreDC(dc, saved);
    return CDRF_DODEFAULT;
}

}  // namespace pelorin::app
