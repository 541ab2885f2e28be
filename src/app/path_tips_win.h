// Every path in the PST list readable: a path too long for its column is
// drawn shortened (its last folders and the file name stay), and the
// program's own tooltip shows the row's whole path, with its status (a
// failed row's whole reason) on a second line. The row's text stays the
// full path.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>

#include "base/handles_win.h"

namespace pelorin::app {

// The text the list shows for `item`'s path: the whole path when it fits
// `width` pixels in the list's font, else shortened at its start (see the .cpp).
std::wstring pathAsDrawn(HWND list, int item, int width);

class PathTips {
public:
    // `tipFor` gives the text of a 1-based row (pstlist::rowTip). Raises
    // nothing: without a tooltip the list still works, paths still shortened.
    PathTips(HWND window, HWND list, int maxTipWidth, std::function<std::wstring(int row)> tipFor);
    ~PathTips();
    PathTips(const PathTips&) = delete;
    PathTips& operator=(const PathTips&) = delete;

    // The list's custom draw and the tooltip's text requests; nullopt for
    // any other notification.
    std::optional<LRESULT> onNotify(const NMHDR& header);
    void setMaxTipWidth(int width);
    HWND tooltip() const { return tip_.get(); }
    // The row under `point` (list client coordinates), -1 for none.
    int itemAt(POINT point) const;
    // The window's WM_SETCURSOR: `under` is the window under the pointer and
    // `mouseMessage` the mouse message that moved it there. The list is not
    // subclassed for its mouse moves: under Wine a subclassed list view
    // makes every row insert far slower (Add Folder of 20,000 rows took
    // 40 s instead of 5). A mouse move to where the pointer already was
    // (sent whenever a window appears or changes under a still pointer) is
    // not relayed: it would only restart the tooltip's timers.
    void onSetCursor(HWND under, UINT mouseMessage);

private:
    void onMouseMove(const MSG& message);
    LRESULT onCustomDraw(NMLVCUSTOMDRAW& draw);

    HWND window_;
    HWND list_;
    std::function<std::wstring(int row)> tipFor_;
    UniqueHwnd tip_;
    int shownItem_ = -1;
    POINT lastMove_{-1, -1};  // screen point of the last mouse move relayed
    std::wstring tipText_;  // the text the tooltip points at while shown
};

}  // namespace pelorin::app
