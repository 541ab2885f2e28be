// Where a control of the main window goes for a given client size and dpi:
// its 96-dpi design rectangle scaled to the dpi, then moved or grown by how
// much the client area exceeds the design size at that dpi, as its anchor
// says. At the design size and 96 dpi every rectangle is the design one.
#pragma once
#include "ui/controls.h"

namespace pelorin::ui {

inline constexpr int kDesignDpi = 96;

struct Box {
    int left, top, right, bottom;
    bool operator==(const Box&) const = default;
};

struct Extent {
    int cx, cy;
    bool operator==(const Extent&) const = default;
};

// value * dpi / 96, rounded half away from zero (as MulDiv rounds).
constexpr int scaled(int value, int dpi) {
    const long long product = static_cast<long long>(value) * dpi;
    const long long half = kDesignDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi
                                         : -((-product + half) / kDesignDpi));
}

constexpr Box scaled(Box b, int dpi) {
    return {scaled(b.left, dpi), scaled(b.top, dpi), scaled(b.right, dpi), scaled(b.bottom, dpi)};
}

// `design` is the rectangle at 96 dpi in a client area of `designClient`;
// `client` is the client area's size now, in pixels at `dpi`. A client area
// smaller than the design moves nothing up or left.
constexpr Box placed(Box design, Anchor anchor, DpiScaling scaling, Extent designClient,
                     Extent client, int dpi) {
    const int d = scaling == DpiScaling::Scale ? dpi : kDesignDpi;
    Box r = scaled(design, d);
    const int dx =
        client.cx > scaled(designClient.cx, d) ? client.cx - scaled(designClient.cx, d) : 0;
    const int dy =
        client.cy > scaled(designClient.cy, d) ? client.cy - scaled(designClient.cy, d) : 0;
    const bool moveX = anchor == Anchor::Right || anchor == Anchor::BottomRight;
    const bool moveY = anchor == Anchor::Bottom || anchor == Anchor::BottomRight;
    const bool growX = anchor == Anchor::Wide || anchor == Anchor::Grows;
    if (moveX) r.left += dx;
    if (moveX || growX) r.right += dx;
    if (moveY) r.top += dy;
    if (moveY || anchor == Anchor::Grows) r.bottom += dy;
    return r;
}

}  // namespace pelorin::ui
