// The main window's size and dpi: the controls follow a resize by their
// anchors; fonts, row images and column widths follow the window's dpi.
#include <windows.h>
#include <commctrl.h>

#include "app/dpi_win.h"
#include "app/main_window_win.h"
#include "app/resource.h"
#include "ui/placement.h"

namespace pelorin::app {
namespace {

HFONT makeFont(int hundredthsOfPoint, int dpi) {
    // 8.25 pt is -11 px and 9 pt is -12 px at 96 dpi.
    const int height = -MulDiv(hundredthsOfPoint, dpi, 7200);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
}

SIZE clientSizeOf(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    return {client.right, client.bottom};
}

}  // namespace

// New fonts for the window's dpi; the old ones go once no control uses them.
void MainWindow::setFonts() {
    UniqueFont small(makeFont(825, dpi_));
    UniqueFont large(makeFont(900, dpi_));
    const HFONT defaultFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (const ControlLayout& layout : kControls) {
        const HFONT font = layout.font == FontKind::Tahoma825 ? small.get()
                           : layout.font == FontKind::Tahoma9 ? large.get()
                                                              : defaultFont;
        SendMessageW(control(layout.id), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    tahoma825_ = std::move(small);
    tahoma9_ = std::move(large);
}

// The row images at the window's dpi (16 x 16 at 96 dpi); silver is
// transparent; image 2 is the application icon.
void MainWindow::setRowImages() {
    const int size = ui::scaled(16, dpi_);
    UniqueImageList images(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 3, 0));
    if (options_.resources) {
        UniqueBitmap first(static_cast<HBITMAP>(LoadImageW(
            options_.resources, MAKEINTRESOURCEW(IDB_LIST1), IMAGE_BITMAP, size, size, 0)));
        UniqueIcon app(loadIconAt(options_.resources, IDI_APP, size));
        UniqueIcon folder(loadIconAt(options_.resources, IDI_FOLDER, size));
        if (first && app && folder) {
            ImageList_AddMasked(images.get(), first.get(), kSilver);
            ImageList_AddIcon(images.get(), app.get());
            ImageList_AddIcon(images.get(), folder.get());
        }
    }
    const HWND list = control(kIdPstList);
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images.get()));
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images.get()));
    rowImages_ = std::move(images);
}

void MainWindow::onSize() {
    const SIZE client = clientSizeOf(hwnd_.get());
    if (client.cx == 0 && client.cy == 0) return;  // minimised
    placeControls(hwnd_.get(), client, dpi_);
    InvalidateRect(hwnd_.get(), nullptr, TRUE);
}

// The design size at the window's dpi is the smallest, unless the screen's
// work area is smaller. The frame is measured on the window: it is what the
// system draws now, whatever dpi it was drawn for.
void MainWindow::onGetMinMaxInfo(MINMAXINFO* info) {
    const SIZE client = clientSizeAt(dpi_);
    RECT frame{0, 0, client.cx, client.cy};
    RECT outer{}, inner{};
    GetWindowRect(hwnd_.get(), &outer);
    GetClientRect(hwnd_.get(), &inner);
    if (inner.right > 0 && inner.bottom > 0 && !IsIconic(hwnd_.get())) {
        frame.right += outer.right - outer.left - inner.right;
        frame.bottom += outer.bottom - outer.top - inner.bottom;
    } else {
        adjustFrameForDpi(frame, kWindowStyle, 0, dpi_);
    }
    RECT work{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(hwnd_.get(), MONITOR_DEFAULTTONEAREST), &monitor))
        work = monitor.rcWork;
    const LONG workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    LONG width = frame.right - frame.left, height = frame.bottom - frame.top;
    if (workWidth > 0 && width > workWidth) width = workWidth;
    if (workHeight > 0 && height > workHeight) height = workHeight;
    info->ptMinTrackSize = {width, height};
}

// Moved to a monitor of another dpi (or the user changed its scale): new
// fonts, images and column widths, then the size the system suggests.
void MainWindow::onDpiChanged(int dpi, const RECT* suggested) {
    if (dpi <= 0 || dpi == dpi_) return;
    const int old = dpi_;
    dpi_ = dpi;
    setFonts();
    setRowImages();
    if (pathTips_) pathTips_->setMaxTipWidth(ui::scaled(kClientSize.cx, dpi_));
    const HWND list = control(kIdPstList);
    // A column the user left alone gets its width at the new dpi; one the
    // user resized keeps its share.
    for (const ui::ColumnRow& column : ui::kColumnRows) {
        const int i = ui::columnIndex(column.column);
        const int width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0));
        const bool asDesigned = width == ui::scaled(column.width, old);
        SendMessageW(list, LVM_SETCOLUMNWIDTH, i,
                     asDesigned ? ui::scaled(column.width, dpi) : MulDiv(width, dpi, old));
    }
    if (suggested)
        SetWindowPos(hwnd_.get(), nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    onSize();  // the controls move even when the frame's size stayed the same
}

}  // namespace pelorin::app
