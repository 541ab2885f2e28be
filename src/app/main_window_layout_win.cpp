#include "app/main_window_layout_win.h"

#include <commctrl.h>

#include "base/handles_win.h"
#include "ui/placement.h"

namespace pelorin::app {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kCheck = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;

constexpr ControlLayout kControlTable[] = {
    {kIdPstList,
     L"PST list",
     WC_LISTVIEWW,
     L"",
     {8, 160, 592, 369},
     kChild | WS_TABSTOP | LVS_REPORT | LVS_SHAREIMAGELISTS,
     WS_EX_CLIENTEDGE,
     FontKind::Tahoma9},
    {kIdAddFile,
     L"Add File button",
     WC_BUTTONW,
     L"Add File",
     {8, 376, 97, 401},
     kButton,
     0,
     FontKind::Tahoma825},
    {kIdAttach,
     L"attach button",
     WC_BUTTONW,
     L"Add PSTs to Outlook  >",
     {456, 376, 593, 401},
     kButton,
     0,
     FontKind::Tahoma825},
    {kIdClearList,
     L"Clear List button",
     WC_BUTTONW,
     L"Clear List",
     {216, 376, 321, 401},
     kButton,
     0,
     FontKind::Tahoma825},
    // Outside the client area: never seen, but it keeps its place in the tab order.
    {kIdHiddenCompressionBox,
     L"compression box",
     WC_BUTTONW,
     L"Use Enchanced Compression (NOT SAFE)",
     {624, 464, 857, 481},
     kCheck,
     0,
     FontKind::WindowDefault},
    {kIdAddFolder,
     L"Add Folder button",
     WC_BUTTONW,
     L"Add Folder",
     {112, 376, 201, 401},
     kButton,
     0,
     FontKind::Tahoma825},
    {kIdSelectAll,
     L"Select All box",
     WC_BUTTONW,
     L"Select All",
     {14, 136, 111, 153},
     kCheck,
     0,
     FontKind::Tahoma825},
    {kIdHelpLink,
     L"help link",
     WC_STATICW,
     L"Click Here to Know more about File Properties Read-only attribute",
     {224, 120, 593, 137},
     kChild | SS_RIGHT | SS_NOTIFY,
     0,
     FontKind::Tahoma825},
    {kIdWarning,
     L"warning label",
     WC_STATICW,
     L"Please ensure Outlook PST file(s) are not corrupt && not having Read-only attribute in "
     L"File Properties",
     {16, 88, 585, 105},
     kChild | SS_CENTER,
     0,
     FontKind::Tahoma9},
    {kIdTotal,
     L"total label",
     WC_STATICW,
     L"0",
     {248, 136, 297, 153},
     kChild | SS_LEFT,
     0,
     FontKind::Tahoma825},
    {kIdTotalCaption,
     L"total caption",
     WC_STATICW,
     L"Total PST File(s) :",
     {144, 136, 249, 153},
     kChild | SS_LEFT,
     0,
     FontKind::Tahoma825},
};

}  // namespace

const std::span<const ControlLayout> kControls = kControlTable;

namespace {

ui::Box boxOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT rectOf(const ui::Box& b) { return {b.left, b.top, b.right, b.bottom}; }
ui::Extent extentOf(SIZE s) { return {s.cx, s.cy}; }

// A shape painted on the surface, placed like a control.
RECT placedShape(const RECT& design, ui::Anchor anchor, SIZE client, int dpi) {
    return rectOf(ui::placed(boxOf(design), anchor, ui::DpiScaling::Scale, extentOf(kClientSize),
                             extentOf(client), dpi));
}

}  // namespace

HICON loadIconAt(HINSTANCE module, int id, int size) {
    if (!module) return nullptr;
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
}

SIZE clientSizeAt(int dpi) {
    return {ui::scaled(kClientSize.cx, dpi), ui::scaled(kClientSize.cy, dpi)};
}

RECT placedRect(const ControlLayout& layout, SIZE client, int dpi) {
    const ui::ControlRow& row = ui::controlRow(layout.id);
    return rectOf(ui::placed(boxOf(layout.rect), row.anchor, row.dpi, extentOf(kClientSize),
                             extentOf(client), dpi));
}

void placeControls(HWND window, SIZE client, int dpi) {
    HDWP moves = BeginDeferWindowPos(static_cast<int>(kControls.size()));
    for (const ControlLayout& layout : kControls) {
        const HWND child = GetDlgItem(window, layout.id);
        const RECT r = placedRect(layout, client, dpi);
        if (moves && child)
            moves = DeferWindowPos(moves, child, nullptr, r.left, r.top, r.right - r.left,
                                   r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (moves) EndDeferWindowPos(moves);
}

void paintBackground(HDC dc, HBITMAP banner, HBRUSH yellow, SIZE client, int dpi) {
    const int saved = SaveDC(dc);
    // The banner frame: white with a silver border, two pixels taller than
    // the banner, as wide as the window and more.
    const RECT frame = placedShape(kBannerFrame, ui::Anchor::Wide, client, dpi);
    const UniquePen silver(CreatePen(PS_SOLID, 1, kSilver));
    SelectObject(dc, silver.get());
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    Rectangle(dc, frame.left, frame.top, frame.right, frame.bottom);
    if (banner) {
        const RECT at = placedShape(kBannerRect, ui::Anchor::Fixed, client, dpi);
        const int width = at.right - at.left, height = at.bottom - at.top;
        const int left = client.cx > width ? (client.cx - width) / 2 : 0;
        const UniqueMemoryDc memory(CreateCompatibleDC(dc));
        const HGDIOBJ old = SelectObject(memory.get(), banner);
        if (dpi == ui::kDesignDpi) {
            BitBlt(dc, left, at.top, width, height, memory.get(), 0, 0, SRCCOPY);
        } else {
            SetStretchBltMode(dc, HALFTONE);
            StretchBlt(dc, left, at.top, width, height, memory.get(), 0, 0,
                       kBannerRect.right - kBannerRect.left, kBannerRect.bottom - kBannerRect.top,
                       SRCCOPY);
        }
        SelectObject(memory.get(), old);
    }
    // The warning band: light yellow with a thin black border behind the warning text.
    const RECT band = placedShape(kWarningBand, ui::Anchor::Wide, client, dpi);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, yellow);
    Rectangle(dc, band.left, band.top, band.right, band.bottom);
    RestoreDC(dc, saved);
}

}  // namespace pelorin::app
