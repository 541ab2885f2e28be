// The main window MainWindowActions on Win32: its control table (the layout is data),
// the window procedure that forwards each control event to app::MainWindowActions, the
// painted banner and shapes, and the top-level report of errors that no
// handler traps.
#pragma once
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/main_window_actions.h"
#include "base/handles_win.h"
#include "ui/toolkit_win.h"

namespace pelorin::app {

enum ControlId : int {
    // Ids start above IDOK/IDCANCEL, which the keyboard navigation sends.
    kIdPstList = 100,
    kIdAddFile,
    kIdAttach,
    kIdClearList,
    kIdHiddenCompressionBox,
    kIdAddFolder,
    kIdSelectAll,
    kIdHelpLink,
    kIdWarning,
    kIdTotal,
    kIdTotalCaption,
};

enum class FontKind { Tahoma825, Tahoma9, WindowDefault };

struct ControlLayout {
    ControlId id;
    const wchar_t* name;
    const wchar_t* className;
    const wchar_t* text;
    RECT rect;  // client pixels at 96 dpi: left, top, right, bottom
    DWORD style;
    DWORD exStyle;
    FontKind font;
};

// Every child window, in tab order first, then the labels from top to bottom
// of the stacking order; the window is built from this table in this order.
extern const std::array<ControlLayout, 11> kControls;

inline constexpr SIZE kClientSize{600, 410};
inline constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                                      WS_CLIPCHILDREN;
inline constexpr wchar_t kWindowClass[] = L"PelorinMainWindow";

// Painted on the window's own surface, below every control.
inline constexpr RECT kBannerRect{0, 0, 600, 71};
inline constexpr RECT kBannerFrame{0, 0, 697, 73};
inline constexpr RECT kWarningBand{8, 80, 593, 113};
inline constexpr COLORREF kSilver = RGB(192, 192, 192);
inline constexpr COLORREF kLightYellow = RGB(255, 255, 128);
inline constexpr COLORREF kDarkRed = RGB(192, 0, 0);
inline constexpr COLORREF kLinkBlue = RGB(0, 0, 255);

// "Run-time error '<number>':\n\n<description>", the text of the top-level report.
std::wstring runtimeErrorText(int number, const std::wstring& description);

struct MainWindowServices {
    scan::FileSystemFactory fileSystems;
    outlook::Automation* automation = nullptr;
    std::function<void(const std::wstring&)> openWebPage;
};

struct MainWindowOptions {
    HINSTANCE resources = nullptr;  // module holding icon, banner and pointer
    bool quitWhenClosed = true;     // post WM_QUIT when the window goes
    // The top-level report of an error that no handler trapped. Unset: a
    // critical message box titled with the application title, then the
    // process ends with a non-zero code.
    std::function<void(int number, const std::wstring& description)> onUnhandledError;
};

class MainWindow {
public:
    MainWindow(MainWindowServices services, MainWindowOptions options);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // The window's initialisation: loads the common controls (the manifest
    // picks version 6) before any control exists.
    static void initCommonControls();

    // Centred on the screen, focus on the PST list.
    void show(int showCommand);
    // The message loop; returns the exit code of WM_QUIT.
    int run();

    HWND hwnd() const { return hwnd_.get(); }
    HWND control(ControlId id) const { return GetDlgItem(hwnd_.get(), id); }
    ui::Win32Toolkit& toolkit() { return *toolkit_; }
    MainWindowActions& form() { return *actions_; }
    HCURSOR linkPointer() const { return hand_; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void onCommand(int id, int code);
    void onAttach();
    void paint();
    template <typename Handler>
    void guarded(Handler&& handler) noexcept;
    void reportUnhandled(int number, const std::wstring& description) noexcept;

    MainWindowServices services_;
    MainWindowOptions options_;
    UniqueHwnd hwnd_;
    UniqueFont tahoma825_;
    UniqueFont tahoma9_;
    UniqueBrush yellowBrush_;
    UniqueBitmap banner_;
    UniqueImageList rowImages_;
    UniqueImageList checkBoxes_;  // the list view's state images
    UniqueIcon iconLarge_;
    UniqueIcon iconSmall_;
    UniqueCursor ownHand_;
    HCURSOR hand_ = nullptr;  // ownHand_, or the system's shared hand
    HWND savedFocus_ = nullptr;
    int handlerDepth_ = 0;  // clicks running, nested ones included
    int attachDepth_ = 0;   // attach clicks running
    std::unique_ptr<ui::Win32Toolkit> toolkit_;
    std::unique_ptr<MainWindowActions> actions_;
};

}  // namespace pelorin::app
