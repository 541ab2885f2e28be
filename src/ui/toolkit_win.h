// The toolkit over the real Win32 controls of the main window: non-owning
// wrappers over each control's HWND (one-line methods over its messages),
// the window's message boxes and folder picker, the application-wide
// pointer, and doEvents() as a message pump. Tests may swap in their own
// dialogs and hook every doEvents() call.
#pragma once
#include <windows.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>

#include "ui/file_dialog_win.h"
#include "ui/taskbar_win.h"
#include "ui/toolkit.h"

namespace pelorin::ui {

class Win32ListView final : public ListView {
public:
    explicit Win32ListView(HWND hwnd) : hwnd_(hwnd) {}
    int count() const override;
    void insert(int index, const std::wstring& text, int smallIcon) override;
    std::wstring text(int row) const override;
    std::wstring subItem(int row, Column column) const override;
    void setSubItem(int row, Column column, const std::wstring& text) override;
    bool checked(int row) const override;
    void setChecked(int row, bool value) override;
    bool highlighted(int row) const override;
    void setHighlighted(int row, bool value) override;
    void remove(int row) override;
    void clear() override;
    void ensureVisible(int row) override;  // LVM_ENSUREVISIBLE

    // Inserting a row into a drawn list view costs milliseconds under some
    // window systems, so an insert stops the list's drawing and the next
    // pump of events (at most every kRedrawInterval), a dialog or the end of
    // the click draws it again: a burst of thousands of rows takes a fraction
    // of a second and still repaints.
    void resumeDrawing();

private:
    int item(int row) const;  // 0-based index of a 1-based row, or raises
    std::wstring itemText(int item, int subItem) const;
    HWND hwnd_;
    bool drawingSuspended_ = false;
};

class Win32CheckBox final : public CheckBox {
public:
    explicit Win32CheckBox(HWND hwnd) : hwnd_(hwnd) {}
    int value() const override;
    void setValue(int value) override;  // BM_SETCHECK: no click is raised
    bool enabled() const override;
    void setEnabled(bool enabled) override;

private:
    HWND hwnd_;
};

class Win32Button final : public Button {
public:
    explicit Win32Button(HWND hwnd) : hwnd_(hwnd) {}
    bool enabled() const override;
    void setEnabled(bool enabled) override;

private:
    HWND hwnd_;
};

class Win32Label final : public Label {
public:
    explicit Win32Label(HWND hwnd) : hwnd_(hwnd) {}
    std::wstring caption() const override;
    void setCaption(const std::wstring& caption) override;

private:
    HWND hwnd_;
};

// The folder picker the application hands in (the shell's, in the program):
// the chosen folder's full path, or empty when nothing usable was chosen.
using FolderPicker = std::function<std::wstring(HWND owner, const std::wstring& title)>;

// Message boxes (OK and an icon, titled with the application title) and the
// folder picker, both owned by the main window.
class Win32Dialogs final : public Dialogs {
public:
    Win32Dialogs(HWND owner, std::wstring title, FolderPicker pickFolder)
        : owner_(owner), title_(std::move(title)), pickFolder_(std::move(pickFolder)) {}
    std::wstring browseFolder(const std::wstring& title) override;
    void messageBox(const std::wstring& text, Icon icon) override;

private:
    HWND owner_;
    std::wstring title_;
    FolderPicker pickFolder_;
};

// One message of the window's loop: keyboard navigation (Tab, Space, Enter)
// for the main window's controls, otherwise translated and dispatched.
void dispatchMessageFor(HWND owner, MSG& msg);

// The controls of kControlRows, found among the children of `owner` (the
// main window: owner of dialogs, keyboard navigation) by their ids.
class Win32Toolkit final : public Toolkit {
public:
    Win32Toolkit(HWND owner, std::wstring appTitle, FolderPicker pickFolder);

    ListView& pstList() override { return list_; }
    Button& button(ControlId id) override;
    CheckBox& checkBox(ControlId id) override;
    bool closeRequested() const override { return closeRequested_; }
    void requestClose() { closeRequested_ = true; }
    // toolkit_wait_win.cpp
    bool stopWaitAsked() override;
    bool copyText(const std::wstring& text) override;
    Label& totalLabel() override { return totalLabel_; }
    Busy busyWith() const override { return busy_; }
    void setBusyWith(Busy kinds) override { busy_ = kinds; }
    FileDialog& fileDialog() override;
    Dialogs& dialogs() override;
    TaskbarProgress& taskbar() override { return taskbarOverride_ ? *taskbarOverride_ : taskbar_; }
    void setCursor(Cursor cursor) override;
    wchar_t decimalSeparator() const override;
    // Pumps the message queue (at most once every few milliseconds), then
    // runs the test hook. A quit message met here goes back on the queue
    // for the main loop.
    void doEvents() override;

    Cursor cursor() const { return cursor_; }
    int doEventsCalls() const { return doEventsCalls_; }
    // Draws the rows inserted since the last pause.
    void showPendingRows() { list_.resumeDrawing(); }

    // Test seams: nullptr restores the window's own.
    void useFileDialog(FileDialog* dialog) { fileDialogOverride_ = dialog; }
    void useDialogs(Dialogs* dialogs) { dialogsOverride_ = dialogs; }
    void useTaskbar(TaskbarProgress* taskbar) { taskbarOverride_ = taskbar; }
    // Runs on every doEvents() call with its 1-based number.
    void setDoEventsHook(std::function<void(int call)> hook) { hook_ = std::move(hook); }

    static constexpr std::chrono::milliseconds kPumpInterval{5};
    // Rows inserted meanwhile are drawn at most this often: a redraw of the
    // whole list costs milliseconds, and at every pump it took a third of
    // an Add Folder of thousands of PSTs.
    static constexpr std::chrono::milliseconds kRedrawInterval{100};

private:
    HWND owner_;
    Win32ListView list_;
    std::map<ControlId, Win32Button> buttons_;
    std::map<ControlId, Win32CheckBox> checkBoxes_;
    bool closeRequested_ = false;
    Busy busy_ = Busy::None;
    Win32Label totalLabel_;
    Win32Dialogs dialogs_;
    Win32FileDialog fileDialog_;
    FileDialog* fileDialogOverride_ = nullptr;
    Dialogs* dialogsOverride_ = nullptr;
    Win32Taskbar taskbar_;  // after owner_, which it is made from
    TaskbarProgress* taskbarOverride_ = nullptr;
    std::function<void(int)> hook_;
    Cursor cursor_ = Cursor::Default;
    int doEventsCalls_ = 0;
    std::chrono::steady_clock::time_point lastPump_{};
    std::chrono::steady_clock::time_point lastRedraw_{};
};

}  // namespace pelorin::ui
