// The main window's layout as data: the look of every child window of
// ui::kControlRows (its class, text, rectangle, style and font), the design
// client size, and the shapes painted on the window's surface, all at 96 dpi
// and the design size; ui/placement.h moves them to the window's size and
// dpi. The list's columns are ui::kColumnRows.
#pragma once
#include <windows.h>

#include <span>

#include "ui/controls.h"

namespace pelorin::app {

using ui::ControlId;
using enum ui::ControlId;

enum class FontKind { Tahoma825, Tahoma9, WindowDefault };

struct ControlLayout {
    ControlId id;
    const wchar_t* name;
    const wchar_t* className;
    const wchar_t* text;
    RECT rect;    // client pixels at 96 dpi: left, top, right, bottom
    DWORD style;  // WS_DISABLED comes from the control's row
    DWORD exStyle;
    FontKind font;
};

// Every child window, in tab order first, then the labels from top to bottom
// of the stacking order; the window is built from this table in this order.
extern const std::span<const ControlLayout> kControls;

// The design size, which is also the smallest the window can be made.
inline constexpr SIZE kClientSize{600, 410};
inline constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                                      WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN;
inline constexpr wchar_t kWindowClass[] = L"PelorinMainWindow";

// Painted on the window's own surface, below every control.
inline constexpr RECT kBannerRect{0, 0, 600, 71};
inline constexpr RECT kBannerFrame{0, 0, 697, 73};
inline constexpr RECT kWarningBand{8, 80, 593, 113};
inline constexpr COLORREF kSilver = RGB(192, 192, 192);
inline constexpr COLORREF kLightYellow = RGB(255, 255, 128);
inline constexpr COLORREF kDarkRed = RGB(192, 0, 0);
inline constexpr COLORREF kLinkBlue = RGB(0, 0, 255);

// The icon `id` of `module` at `size` pixels; null without a module.
HICON loadIconAt(HINSTANCE module, int id, int size);

// The design client size at `dpi`.
SIZE clientSizeAt(int dpi);
// Where `layout`'s control goes in a client area of `client` pixels at `dpi`.
RECT placedRect(const ControlLayout& layout, SIZE client, int dpi);
// Moves every control of `window` to its placedRect, in one go.
void placeControls(HWND window, SIZE client, int dpi);

// Paints the banner frame, the banner (when loaded, centred when the window
// is wider than it) and the warning band, for a client area of `client`
// pixels at `dpi`.
void paintBackground(HDC dc, HBITMAP banner, HBRUSH yellow, SIZE client, int dpi);

}  // namespace pelorin::app
