#include "app/main_window_win.h"

#include <commctrl.h>

#include <new>
#include <utility>

#include "app/resource.h"
#include "shell/shell.h"
#include "base/error.h"
#include "base/text.h"

namespace pelorin::app {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kCheck = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;

// Column headers and widths of the PST list, in pixels at 96 dpi.
struct ColumnLayout {
    const wchar_t* text;
    int width;
};
constexpr ColumnLayout kColumns[] = {{L"File Name", 393}, {L"Size (KB)", 67}, {L"Status", 120}};

HFONT makeFont(int hundredthsOfPoint) {
    // 8.25 pt is -11 px and 9 pt is -12 px at 96 dpi.
    const WindowDc screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    const int height = -MulDiv(hundredthsOfPoint, dpi, 7200);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
}

HICON loadIcon(HINSTANCE module, int id, int size) {
    if (!module) return nullptr;
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
}

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

}  // namespace

const std::array<ControlLayout, 11> kControls = {{
    {kIdPstList, L"ListView1", WC_LISTVIEWW, L"", {8, 160, 592, 369},
     kChild | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHAREIMAGELISTS, WS_EX_CLIENTEDGE,
     FontKind::Tahoma9},
    {kIdAddFile, L"Command1", WC_BUTTONW, L"Add File", {8, 376, 97, 401}, kButton, 0,
     FontKind::Tahoma825},
    {kIdAttach, L"Command3", WC_BUTTONW, L"Add PSTs to Outlook  >", {456, 376, 593, 401}, kButton,
     0, FontKind::Tahoma825},
    {kIdClearList, L"Command4", WC_BUTTONW, L"Clear List", {216, 376, 321, 401}, kButton, 0,
     FontKind::Tahoma825},
    // Outside the client area: never seen, but it keeps its place in the tab order.
    {kIdHiddenCompressionBox, L"Check1", WC_BUTTONW, L"Use Enchanced Compression (NOT SAFE)",
     {624, 464, 857, 481}, kCheck, 0, FontKind::WindowDefault},
    {kIdAddFolder, L"Command2", WC_BUTTONW, L"Add Folder", {112, 376, 201, 401}, kButton, 0,
     FontKind::Tahoma825},
    {kIdSelectAll, L"ChkSelectAll", WC_BUTTONW, L"Select All", {14, 136, 111, 153},
     kCheck | WS_DISABLED, 0, FontKind::Tahoma825},
    {kIdHelpLink, L"LblPSTReadOnly", WC_STATICW,
     L"Click Here to Know more about File Properties Read-only attribute", {224, 120, 593, 137},
     kChild | SS_RIGHT | SS_NOTIFY, 0, FontKind::Tahoma825},
    {kIdWarning, L"Label3", WC_STATICW,
     L"Please ensure Outlook PST file(s) are not corrupt && not having Read-only attribute in "
     L"File Properties",
     {16, 88, 585, 105}, kChild | SS_CENTER, 0, FontKind::Tahoma9},
    {kIdTotal, L"Label2", WC_STATICW, L"0", {248, 136, 297, 153}, kChild | SS_LEFT, 0,
     FontKind::Tahoma825},
    {kIdTotalCaption, L"Label1", WC_STATICW, L"Total PST File(s) :", {144, 136, 249, 153},
     kChild | SS_LEFT, 0, FontKind::Tahoma825},
}};

std::wstring runtimeErrorText(int number, const std::wstring& description) {
    return L"Run-time error '" + std::to_wstring(number) + L"':\n\n" + description;
}

void MainWindow::initCommonControls() {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&init);
}

MainWindow::MainWindow(MainWindowServices services, MainWindowOptions options)
    : services_(std::move(services)), options_(std::move(options)) {
    initCommonControls();
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    registerWindowClass(instance, windowProc);

    RECT frame{0, 0, kClientSize.cx, kClientSize.cy};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND hwnd = CreateWindowExW(0, kWindowClass, kCaption, kWindowStyle, x, y, width, height,
                                nullptr, nullptr, instance, this);
    if (!hwnd) throw Error(kErrAutomation, L"The main window could not be created",
                           static_cast<std::int32_t>(HRESULT_FROM_WIN32(GetLastError())));
    hwnd_.reset(hwnd);

    iconLarge_.reset(loadIcon(options_.resources, IDI_APP, GetSystemMetrics(SM_CXICON)));
    iconSmall_.reset(loadIcon(options_.resources, IDI_APP, GetSystemMetrics(SM_CXSMICON)));
    if (iconLarge_) SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(iconLarge_.get()));
    if (iconSmall_) SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(iconSmall_.get()));
    if (options_.resources) {
        banner_.reset(static_cast<HBITMAP>(LoadImageW(options_.resources,
                                                      MAKEINTRESOURCEW(IDB_BANNER), IMAGE_BITMAP,
                                                      0, 0, LR_CREATEDIBSECTION)));
        // Unshared, so the window owns it: the shared cache does not serve a
        // module loaded as a data file everywhere (Wine makes a new cursor
        // on every load), and each window would leave one behind.
        ownHand_.reset(static_cast<HCURSOR>(LoadImageW(options_.resources,
                                                       MAKEINTRESOURCEW(IDC_HAND_LINK),
                                                       IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)));
        hand_ = ownHand_.get();
    }
    if (!hand_) hand_ = LoadCursorW(nullptr, IDC_HAND);

    createControls();
    toolkit_ = std::make_unique<ui::Win32Toolkit>(
        ui::Win32Controls{hwnd, control(kIdPstList), control(kIdSelectAll),
                          control(kIdAttach), control(kIdTotal), control(kIdAddFile),
                          control(kIdAddFolder), control(kIdClearList)},
        kAppTitle,
        [](HWND owner, const std::wstring& title) { return shell::browseFolder(owner, title); });
    if (!services_.automation) throw Error(kErrAutomation, L"No automation service");
    actions_ = std::make_unique<MainWindowActions>(*toolkit_, services_.fileSystems, *services_.automation,
                                    services_.openWebPage);
}

MainWindow::~MainWindow() {
    // The controls go with the window, before the fonts and images they use.
    actions_.reset();
    toolkit_.reset();
    hwnd_.reset();
}

void MainWindow::createControls() {
    tahoma825_.reset(makeFont(825));
    tahoma9_.reset(makeFont(900));
    yellowBrush_.reset(CreateSolidBrush(kLightYellow));
    const HINSTANCE instance = GetModuleHandleW(nullptr);

    HWND previous = HWND_TOP;
    for (const ControlLayout& layout : kControls) {
        const RECT& r = layout.rect;
        HWND child = CreateWindowExW(layout.exStyle, layout.className, layout.text, layout.style, r.left,
                                     r.top, r.right - r.left, r.bottom - r.top, hwnd_.get(),
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)),
                                     instance, nullptr);
        if (!child) throw Error(kErrAutomation, std::wstring(L"Could not create ") + layout.name);
        const HFONT font = layout.font == FontKind::Tahoma825 ? tahoma825_.get()
                           : layout.font == FontKind::Tahoma9 ? tahoma9_.get()
                                                            : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // Stacking and tab order follow the table, whatever order the
        // platform links new children in.
        SetWindowPos(child, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = child;
    }

    // The row images: 16 x 16, silver is transparent; image 2 is the application icon.
    HWND list = control(kIdPstList);
    rowImages_.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 3, 0));
    if (options_.resources) {
        UniqueBitmap first(static_cast<HBITMAP>(
            LoadImageW(options_.resources, MAKEINTRESOURCEW(IDB_LIST1), IMAGE_BITMAP, 0, 0, 0)));
        UniqueIcon app(loadIcon(options_.resources, IDI_APP, 16));
        UniqueIcon folder(loadIcon(options_.resources, IDI_FOLDER, 16));
        if (first && app && folder) {
            ImageList_AddMasked(rowImages_.get(), first.get(), kSilver);
            ImageList_AddIcon(rowImages_.get(), app.get());
            ImageList_AddIcon(rowImages_.get(), folder.get());
        }
    }
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(rowImages_.get()));
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(rowImages_.get()));
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    // The check boxes' state images are the list view's own, but with shared
    // image lists it leaves them behind when it goes: the window frees them.
    checkBoxes_.reset(reinterpret_cast<HIMAGELIST>(
        SendMessageW(list, LVM_GETIMAGELIST, LVSIL_STATE, 0)));
    int index = 0;
    for (const ColumnLayout& column : kColumns) {
        LVCOLUMNW lvc{};
        lvc.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        lvc.fmt = LVCFMT_LEFT;
        lvc.cx = column.width;
        lvc.pszText = const_cast<wchar_t*>(column.text);
        lvc.iSubItem = index;
        SendMessageW(list, LVM_INSERTCOLUMNW, index++, reinterpret_cast<LPARAM>(&lvc));
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
        reportUnhandled(e.number(), e.description());
    } catch (const std::bad_alloc&) {
        reportUnhandled(7, L"Out of memory");
    } catch (const std::exception& e) {
        reportUnhandled(51, L"Internal error: " + fromUtf8(e.what()));
    } catch (...) {
        reportUnhandled(51, L"Internal error");
    }
}

void MainWindow::reportUnhandled(int number, const std::wstring& description) noexcept {
    toolkit().showPendingRows();
    try {
        if (options_.onUnhandledError) {
            options_.onUnhandledError(number, description);
            return;
        }
        MessageBoxW(hwnd_.get(), runtimeErrorText(number, description).c_str(), kAppTitle,
                    MB_OK | MB_ICONHAND);
    } catch (...) {
    }
    ExitProcess(number > 0 ? static_cast<UINT>(number) : 1u);
}

void MainWindow::onCommand(int id, int code) {
    if (!actions_) return;
    // BN_CLICKED and STN_CLICKED share the value 0.
    if (code != BN_CLICKED) return;
    switch (id) {
    case kIdAddFile: guarded([this] { actions_->onAddFile(); }); break;
    case kIdAddFolder: guarded([this] { actions_->onAddFolder(); }); break;
    case kIdAttach: onAttach(); break;
    case kIdClearList: guarded([this] { actions_->onClearList(); }); break;
    case kIdSelectAll: guarded([this] { actions_->onSelectAll(); }); break;
    case kIdHelpLink: guarded([this] { actions_->onHelpLink(); }); break;
    default: break;  // The hidden compression box and the keyboard's IDOK/IDCANCEL have no handler
    }
}

// A close during the attach run is only recorded: the run stops at its next
// pause and releases Outlook's objects, then the window closes.
void MainWindow::onAttach() {
    ++attachDepth_;
    guarded([this] { actions_->onAddToOutlook(); });
    --attachDepth_;
    if (attachDepth_ == 0 && toolkit_->closeRequested() && hwnd_) DestroyWindow(hwnd_.get());
}

void MainWindow::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_.get(), &ps);
    const int saved = SaveDC(dc);
    // The banner frame: white with a silver border, two pixels taller than the banner.
    UniquePen silver(
        CreatePen(PS_SOLID, 1, kSilver));
    SelectObject(dc, silver.get());
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    Rectangle(dc, kBannerFrame.left, kBannerFrame.top, kBannerFrame.right, kBannerFrame.bottom);
    // The banner at its natural size.
    if (banner_) {
        const UniqueMemoryDc memory(CreateCompatibleDC(dc));
        const HGDIOBJ old = SelectObject(memory.get(), banner_.get());
        BitBlt(dc, kBannerRect.left, kBannerRect.top, kBannerRect.right - kBannerRect.left,
               kBannerRect.bottom - kBannerRect.top, memory.get(), 0, 0, SRCCOPY);
        SelectObject(memory.get(), old);
    }
    // The warning band: light yellow with a thin black border behind the warning text.
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, yellowBrush_.get());
    Rectangle(dc, kWarningBand.left, kWarningBand.top, kWarningBand.right, kWarningBand.bottom);
    RestoreDC(dc, saved);
    EndPaint(hwnd_.get(), &ps);
}

LRESULT CALLBACK MainWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
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
    const HWND hwnd = hwnd_.get();
    switch (message) {
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC: {
        const HWND child = reinterpret_cast<HWND>(lParam);
        const HDC dc = reinterpret_cast<HDC>(wParam);
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
        break;
    }
    case WM_SETCURSOR:
        if (toolkit_ && toolkit_->cursor() == ui::Cursor::Hourglass) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        if (reinterpret_cast<HWND>(wParam) == control(kIdHelpLink) &&
            LOWORD(lParam) == HTCLIENT) {
            SetCursor(hand_);
            return TRUE;
        }
        break;
    case WM_PAINT:
        paint();
        return 0;
    case WM_ACTIVATE:
        // Like a dialog: the focus goes back to the control that had it.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(hwnd, focus)) savedFocus_ = focus;
        } else if (!HIWORD(wParam)) {
            const HWND target = savedFocus_ && IsWindow(savedFocus_) && IsWindowEnabled(savedFocus_)
                                    ? savedFocus_
                                    : control(kIdPstList);
            SetFocus(target);
        }
        return 0;
    case WM_SYSCOMMAND:
        // Fixed size: no maximising (a double click on the caption or a
        // message from outside) and no sizing.
        if ((wParam & 0xFFF0) == SC_MAXIMIZE || (wParam & 0xFFF0) == SC_SIZE) return 0;
        break;
    case WM_CLOSE:
        if (attachDepth_ > 0) {
            toolkit_->requestClose();
            ShowWindow(hwnd, SW_HIDE);
            return 0;
        }
        // Closing ends the program at once, even in the middle of a click
        // whose loop is processing events: nothing is asked, nothing saved.
        if (handlerDepth_ > 0 && options_.quitWhenClosed) {
            ShowWindow(hwnd, SW_HIDE);
            ExitProcess(0);
        }
        break;
    case WM_DESTROY:
        if (options_.quitWhenClosed) PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace pelorin::app
