// The window while a call waits on Outlook. COM's wait runs only paint and
// sent messages; here, asked from the wait, the window takes in the rest it
// must answer: the keys (Escape stops the wait, the others are handled as
// usual: no button is enabled during a run), the frame's own mouse messages
// (its close box, moving it) and close requests posted to it. Clicks inside
// the window wait on the queue until the call returns.
#include "ui/toolkit_win.h"

namespace pelorin::ui {

namespace {

// Takes the messages in [first, last] for `hwnd` (null: any) off the queue
// and dispatches them; true when one was Escape going down.
bool dispatchRange(HWND owner, HWND hwnd, UINT first, UINT last) {
    bool escape = false;
    MSG msg;
    while (PeekMessageW(&msg, hwnd, first, last, PM_REMOVE)) {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            escape = true;
            continue;
        }
        dispatchMessageFor(owner, msg);
    }
    return escape;
}

}  // namespace

bool Win32Toolkit::stopWaitAsked() {
    list_.resumeDrawing();
    bool escape = dispatchRange(owner_, nullptr, WM_KEYFIRST, WM_KEYLAST);
    if (owner_ && IsWindow(owner_)) {
        dispatchRange(owner_, owner_, WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK);
        dispatchRange(owner_, owner_, WM_CLOSE, WM_CLOSE);
        dispatchRange(owner_, owner_, WM_SYSCOMMAND, WM_SYSCOMMAND);
    }
    return escape || closeRequested_;
}

}  // namespace pelorin::ui
