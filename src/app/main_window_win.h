// The main window on Win32: built from its control table
// (main_window_layout_win.h), a window procedure that forwards each control
// event to app::MainWindowActions, the painted banner and shapes, and the
// top-level report of errors that no handler traps.
#pragma once
#include <windows.h>
// Included after windows.h, which it needs.
#include <shellapi.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/main_window_actions.h"
#include "app/main_window_layout_win.h"
#include "app/path_tips_win.h"
#include "base/handles_win.h"
#include "shell/shell.h"
#include "ui/toolkit_win.h"

namespace pelorin::app {

// "Run-time error '<number>':\n\n<description>", the text of the top-level report.
std::wstring runtimeErrorText(int number, const std::wstring& description);

struct MainWindowServices {
    scan::FileSystemFactory fileSystems;
    outlook::Automation* automation = nullptr;
    std::function<void(const std::wstring&)> openWebPage;
    std::function<void(const std::wstring&)> showInFolder;  // Open containing folder
};

struct MainWindowOptions {
    HINSTANCE resources = nullptr;  // module holding icon, banner and pointer
    bool quitWhenClosed = true;     // post WM_QUIT when the window goes
    // The top-level report of an error that no handler trapped. Unset: a
    // critical message box titled with the application title, then the
    // process ends with a non-zero code.
    std::function<void(int number, const std::wstring& description)> onUnhandledError;
    // Shows the list's context menu at a point of the screen and returns the
    // id of the item chosen (0: none). Unset: TrackPopupMenu.
    std::function<int(HMENU menu, POINT at)> trackMenu;
};

class MainWindow {
public:
    // Raises Error(kErrWindowCreation) when the window or a control cannot
    // be created.
    MainWindow(MainWindowServices services, MainWindowOptions options);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Centred on the screen, focus on the PST list.
    void show(int showCommand);
    // The message loop; returns the exit code of WM_QUIT.
    int run();

    HWND hwnd() const { return hwnd_.get(); }
    HWND control(ControlId id) const { return GetDlgItem(hwnd_.get(), id); }
    int dpi() const { return dpi_; }
    HWND pathTip() const { return pathTips_ ? pathTips_->tooltip() : nullptr; }
    ui::Win32Toolkit& toolkit() { return *toolkit_; }
    HCURSOR linkPointer() const { return hand_; }

private:
    // The window's initialisation: loads the common controls (the manifest
    // picks version 6) before any control exists.
    static void initCommonControls();
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void createFrame();
    void loadResources();
    void createControls();
    void setUpPstList();
    void setFonts();
    void setRowImages();
    void onSize();
    void onGetMinMaxInfo(MINMAXINFO* info);
    void onDpiChanged(int dpi, const RECT* suggested);

    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(int id, int code);
    std::optional<LRESULT> onCtlColorStatic(HDC dc, HWND child);
    std::optional<LRESULT> onSetCursor(HWND under, int hitTest);
    void onActivate(int state, bool minimized);
    bool onClose();
    void paint();
    // The list's keys, context menu and drops (main_window_list_win.cpp).
    void acceptDrops();
    void onListKey(WORD key);
    void onContextMenu(LPARAM where);
    POINT contextMenuPoint(LPARAM where) const;
    void onDropFiles(HDROP drop);

    template <typename Handler>
    void guarded(Handler&& handler) noexcept;
    // Runs a handler, then carries out a close asked for meanwhile.
    void guardedCall(const std::function<void()>& handler) noexcept;
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
    int dpi_ = 96;                      // the window's dpi; the layout is drawn at 96
    int handlerDepth_ = 0;              // clicks running, nested ones included
    shell::FolderPicker folderPicker_;  // Add Folder's picker, opened where it was last
    std::unique_ptr<PathTips> pathTips_;
    std::unique_ptr<ui::Win32Toolkit> toolkit_;
    std::unique_ptr<MainWindowActions> actions_;
};

}  // namespace pelorin::app
