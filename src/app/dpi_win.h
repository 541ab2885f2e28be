// The window's dpi. The per-monitor functions exist from Windows 10 1607 on;
// they are looked up at run time, so the program still starts on Windows 7
// to 8.1, where the system's dpi (one for every monitor) stands in.
#pragma once
#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace pelorin::app {

// GetDpiForWindow where the system has it, else the screen's LOGPIXELSY.
int windowDpi(HWND hwnd);
// The dpi a new top-level window gets before it exists: the system's.
int systemDpi();
// AdjustWindowRectExForDpi where the system has it, else AdjustWindowRectEx
// (whose frame is the system dpi's).
void adjustFrameForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);

}  // namespace pelorin::app
