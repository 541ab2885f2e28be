#include "app/main_window_win.h"

#include <commctrl.h>

#include <new>
#include <utility>

#include "app/dpi_win.h"
#include "app/resource.h"
#include "base/error.h"
#include "base/text.h"
#include "shell/shell.h"
#include "ui/placement.h"

namespace pelorin::app {
namespace {

void registerWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW wc{};
    if (GetClassInfoExW(instance, kWindowClass, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);
}

[[noreturn]] void windowCreationFailed(const std::wstring& what) {
    throw Error(kErrWindowCreation, L"Could not create the " + what,
                static_cast<std::int32_t>(HRESULT_FROM_WIN32(GetLastError())));
}

// Developers see where an untrapped error was raised in a debugger's output.
void traceWhere(const Error& e) {
    const std::string where = std::string(e.where().file_name()) + ":" +
                              std::to_string(e.where().line()) + ": untrapped error " +
                              std::to_string(e.number()) + "\n";
    OutputDebugStringW(fromUtf8(where).c_str());
}

}  // namespace

std::wstring runtimeErrorText(int number, const std::wstring& description) {
    return L"Run-time error '" + std::to_wstring(number) + L"':\n\n" + description;
}

void MainWindow::initCommonControls() {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&init);
}

MainWindow::MainWindow(MainWindowServices services, MainWindowOptions options)
    : services_(std::move(services)), options_(std::move(options)) {
    if (!services_.automation) throw Error(kErrInternal, L"No automation service");
    initCommonControls();
    createFrame();
    loadResources();
    createControls();
    setUpPstList();
    pathTips_ = std::make_unique<PathTips>(
        hwnd_.get(), control(kIdPstList), ui::scaled(kClientSize.cx, dpi_),
        [this](int row) { return actions_ ? actions_->tipFor(row) : std::wstring(); });
    toolkit_ = std::make_unique<ui::Win32Toolkit>(
        hwnd_.get(), kAppTitle,
        [this](HWND owner, const std::wstring& title) { return folderPicker_.pick(owner, title); });
    actions_ =
        std::make_unique<MainWindowActions>(*toolkit_, services_.fileSystems, *services_.automation,
                                            services_.openWebPage, services_.showInFolder);
    acceptDrops();
}

MainWindow::~MainWindow() {
    // The controls go with the window, before the fonts and images they use.
    actions_.reset();
    toolkit_.reset();
    pathTips_.reset();
    hwnd_.reset();
}

// The frame: the design size at the system's dpi, centred on the screen.
void MainWindow::createFrame() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    registerWindowClass(instance, windowProc);
    dpi_ = systemDpi();
    const SIZE client = clientSizeAt(dpi_);
    RECT frame{0, 0, client.cx, client.cy};
    adjustFrameForDpi(frame, kWindowStyle, 0, dpi_);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND hwnd = CreateWindowExW(0, kWindowClass, kCaption, kWindowStyle, x, y, width, height,
                                nullptr, nullptr, instance, this);
    if (!hwnd) windowCreationFailed(L"main window");
    hwnd_.reset(hwnd);
    dpi_ = windowDpi(hwnd);
}

// Icons, banner and the link's pointer; without a resource module the window
// still works, with the system's hand and no pictures.
void MainWindow::loadResources() {
    const HWND hwnd = hwnd_.get();
    iconLarge_.reset(loadIconAt(options_.resources, IDI_APP, GetSystemMetrics(SM_CXICON)));
    iconSmall_.reset(loadIconAt(options_.resources, IDI_APP, GetSystemMetrics(SM_CXSMICON)));
    if (iconLarge_)
        SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(iconLarge_.get()));
    if (iconSmall_)
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(iconSmall_.get()));
    if (options_.resources) {
        banner_.reset(
            static_cast<HBITMAP>(LoadImageW(options_.resources, MAKEINTRESOURCEW(IDB_BANNER),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        // Unshared, so the window owns it: the shared cache does not serve a
        // module loaded as a data file everywhere (Wine makes a new cursor
        // on every load), and each window would leave one behind.
        ownHand_.reset(
            static_cast<HCURSOR>(LoadImageW(options_.resources, MAKEINTRESOURCEW(IDC_HAND_LINK),
                                            IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)));
        hand_ = ownHand_.get();
    }
    if (!hand_) hand_ = LoadCursorW(nullptr, IDC_HAND);
}

void MainWindow::createControls() {
    yellowBrush_.reset(CreateSolidBrush(kLightYellow));
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RECT client{};
    GetClientRect(hwnd_.get(), &client);

    HWND previous = HWND_TOP;
    for (const ControlLayout& layout : kControls) {
        const RECT r = placedRect(layout, {client.right, client.bottom}, dpi_);
        const DWORD style =
            layout.style | (ui::controlRow(layout.id).enabledAtStart ? 0 : WS_DISABLED);
        HWND child = CreateWindowExW(layout.exStyle, layout.className, layout.text, style, r.left,
                                     r.top, r.right - r.left, r.bottom - r.top, hwnd_.get(),
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)),
                                     instance, nullptr);
        if (!child) windowCreationFailed(layout.name);
        // Stacking and tab order follow the table, whatever order the
        // platform links new children in.
        SetWindowPos(child, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = child;
    }
    // A control row without its look would leave the toolkit a dead handle.
    for (const ui::ControlRow& row : ui::kControlRows)
        if (row.kind != ui::ControlKind::Command && !control(row.id))
            windowCreationFailed(L"control " + std::to_wstring(row.id));
    setFonts();
}

// The list's images, check boxes and columns.
void MainWindow::setUpPstList() {
    HWND list = control(kIdPstList);
    setRowImages();
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    // The check boxes' state images are the list view's own, but with shared
    // image lists it leaves them behind when it goes: the window frees them.
    checkBoxes_.reset(
        reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_STATE, 0)));
    for (const ui::ColumnRow& column : ui::kColumnRows) {
        const int index = ui::columnIndex(column.column);
        LVCOLUMNW lvc{};
        lvc.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        lvc.fmt = LVCFMT_LEFT;
        lvc.cx = MulDiv(column.width, dpi_, ui::kDesignDpi);
        lvc.pszText = const_cast<wchar_t*>(column.header);
        lvc.iSubItem = index;
        SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&lvc));
    }
}

void MainWindow::show(int showCommand) {
    ShowWindow(hwnd_.get(), showCommand);
    UpdateWindow(hwnd_.get());
    SetFocus(control(kIdPstList));
}

int MainWindow::run() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) ui::dispatchMessageFor(hwnd_.get(), msg);
    return static_cast<int>(msg.wParam);
}

template <typename Handler>
void MainWindow::guarded(Handler&& handler) noexcept {
    struct Depth {
        int& n;
        explicit Depth(int& depth) : n(++depth) {}
        ~Depth() { --n; }
    } depth(handlerDepth_);
    try {
        std::forward<Handler>(handler)();
        toolkit().showPendingRows();
    } catch (const Error& e) {
        traceWhere(e);
        reportUnhandled(e.number(), e.description());
    } catch (const std::bad_alloc&) {
        reportUnhandled(kErrOutOfMemory, L"Out of memory");
    } catch (const std::exception& e) {
        reportUnhandled(kErrInternal, L"Internal error: " + fromUtf8(e.what()));
    } catch (...) {
        reportUnhandled(kErrInternal, L"Internal error");
    }
}

// Every click, key, menu choice and drop runs through here: a close asked
// for meanwhile is carried out once the outermost of them has returned.
void MainWindow::guardedCall(const std::function<void()>& handler) noexcept {
    guarded(handler);
    if (handlerDepth_ == 0 && toolkit_ && toolkit_->closeRequested() && hwnd_)
        DestroyWindow(hwnd_.get());
}

void MainWindow::reportUnhandled(int number, const std::wstring& description) noexcept {
    if (toolkit_) toolkit_->showPendingRows();
    try {
        if (options_.onUnhandledError) {
            options_.onUnhandledError(number, description);
            return;
        }
        MessageBoxW(hwnd_.get(), runtimeErrorText(number, description).c_str(), kAppTitle,
                    MB_OK | MB_ICONHAND);
    } catch (...) {}
    ExitProcess(number > 0 ? static_cast<UINT>(number) : 1u);
}

void MainWindow::onCommand(int id, int code) {
    if (!actions_) return;
    // BN_CLICKED and STN_CLICKED share the value 0.
    if (code != BN_CLICKED) return;
    // The hidden compression box and the keyboard's IDOK/IDCANCEL have no handler.
    guardedCall([this, id] { actions_->run(static_cast<ControlId>(id)); });
}

// The warning in dark red on its yellow band, the help link in blue; the
// other labels keep the system's colours.
std::optional<LRESULT> MainWindow::onCtlColorStatic(HDC dc, HWND child) {
    if (child == control(kIdWarning)) {
        SetTextColor(dc, kDarkRed);
        SetBkColor(dc, kLightYellow);
        return reinterpret_cast<LRESULT>(yellowBrush_.get());
    }
    if (child == control(kIdHelpLink)) {
        SetTextColor(dc, kLinkBlue);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return std::nullopt;
}

// The hourglass while an operation says so, over every control; otherwise
// the hand over the help link.
std::optional<LRESULT> MainWindow::onSetCursor(HWND under, int hitTest) {
    if (toolkit_ && toolkit_->cursor() == ui::Cursor::Hourglass) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
    }
    if (under == control(kIdHelpLink) && hitTest == HTCLIENT) {
        SetCursor(hand_);
        return TRUE;
    }
    return std::nullopt;
}

// Like a dialog: the focus goes back to the control that had it.
void MainWindow::onActivate(int state, bool minimized) {
    if (state == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(hwnd_.get(), focus)) savedFocus_ = focus;
        return;
    }
    if (minimized) return;
    const bool usable = savedFocus_ && IsWindow(savedFocus_) && IsWindowEnabled(savedFocus_);
    SetFocus(usable ? savedFocus_ : control(kIdPstList));
}

// While a click is running (an attach run, Add File, Add Folder, one inside
// another's pause) a close is only recorded (true: handled) and the window
// hidden; each stops at its next pause (the attach run releases Outlook),
// and the window closes when the outermost has returned (onCommand).
bool MainWindow::onClose() {
    if (handlerDepth_ == 0) return false;
    toolkit_->requestClose();
    ShowWindow(hwnd_.get(), SW_HIDE);
    return true;
}

void MainWindow::paint() {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(hwnd_.get(), &ps);
    RECT client{};
    GetClientRect(hwnd_.get(), &client);
    paintBackground(dc, banner_.get(), yellowBrush_.get(), {client.right, client.bottom}, dpi_);
    EndPaint(hwnd_.get(), &ps);
}

LRESULT CALLBACK MainWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (self) self->hwnd_.release();
    }
    if (!self || !self->hwnd_) return DefWindowProcW(hwnd, message, wParam, lParam);
    // Nothing may unwind through the platform's frames.
    try {
        return self->handle(message, wParam, lParam);
    } catch (...) {
        self->guarded([] { throw; });
        return 0;
    }
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    std::optional<LRESULT> result;
    switch (message) {
    case WM_COMMAND: onCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_CTLCOLORSTATIC:
        result = onCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        break;
    case WM_SETCURSOR:
        if (pathTips_) pathTips_->onSetCursor(reinterpret_cast<HWND>(wParam), HIWORD(lParam));
        result = onSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam));
        break;
    case WM_PAINT: paint(); return 0;
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.idFrom == kIdPstList && header.code == LVN_KEYDOWN)
            onListKey(reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey);
        else if (pathTips_)
            result = pathTips_->onNotify(header);
        break;
    }
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) != control(kIdPstList)) break;
        onContextMenu(lParam);
        return 0;
    case WM_DROPFILES: onDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_ACTIVATE: onActivate(LOWORD(wParam), HIWORD(wParam) != 0); return 0;
    case WM_SIZE: onSize(); return 0;
    case WM_GETMINMAXINFO: onGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); return 0;
    case WM_DPICHANGED:
        onDpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_CLOSE:
        if (onClose()) return 0;
        break;
    case WM_DESTROY:
        if (options_.quitWhenClosed) PostQuitMessage(0);
        return 0;
    default: break;
    }
    return result ? *result : DefWindowProcW(hwnd_.get(), message, wParam, lParam);
}

}  // namespace pelorin::app
