// The toolkit seam: exactly the control operations the click handlers use.
// Two implementations: the real Win32 controls of the main window
// (toolkit_win.*) and a headless one for fast, deterministic tests
// (headless_toolkit.*). Rows are addressed 1-based, row 1 at the top; an
// index out of range raises pelorin::Error(kErrSubscript). The controls and
// columns come from the tables in ui/controls.h and ui/columns.h.
#pragma once
#include <cstdint>
#include <string>

#include "base/event_pump.h"
#include "ui/columns.h"
#include "ui/controls.h"

namespace pelorin::ui {

enum class Icon : unsigned { Critical = 16, Information = 64 };
enum class Cursor : int { Default = 0, Hourglass = 11 };

class ListView {
public:
    virtual int count() const = 0;
    // Inserts at the 1-based position (1 = top); the new row is unticked
    // with empty sub-items and shows the given small icon.
    virtual void insert(int index, const std::wstring& text, int smallIcon) = 0;
    virtual std::wstring text(int row) const = 0;
    // Column::FileName is the row's own text.
    virtual std::wstring subItem(int row, Column column) const = 0;
    virtual void setSubItem(int row, Column column, const std::wstring& text) = 0;
    virtual bool checked(int row) const = 0;
    virtual void setChecked(int row, bool value) = 0;
    // Highlighted: part of the list's selection (several rows may be).
    virtual bool highlighted(int row) const = 0;
    virtual void setHighlighted(int row, bool value) = 0;
    virtual void remove(int row) = 0;
    virtual void clear() = 0;
    // Scrolls the list as little as needed to show the whole row.
    virtual void ensureVisible(int row) = 0;

protected:
    ~ListView() = default;
};

// The progress the window's taskbar button shows during a run.
class TaskbarProgress {
public:
    virtual void setProgress(int done, int total) = 0;
    virtual void setError() = 0;  // keeps the value, in the error colour
    virtual void clear() = 0;     // no progress shown

protected:
    ~TaskbarProgress() = default;
};

// A control the user can click, which can be greyed.
class Button {
public:
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;

protected:
    ~Button() = default;
};

// A check box used with two states: 0 unticked, 1 ticked. Setting the value
// raises no click here; the handler that changes it re-raises the click.
class CheckBox : public Button {
public:
    virtual int value() const = 0;
    virtual void setValue(int value) = 0;

protected:
    ~CheckBox() = default;
};

class Label {
public:
    virtual std::wstring caption() const = 0;
    virtual void setCaption(const std::wstring& caption) = 0;

protected:
    ~Label() = default;
};

// The open-file dialog control: properties set before ShowOpen, FileName read
// back after it. The properties live in the control (shared by nested runs).
class FileDialog {
public:
    virtual void setFileName(const std::wstring& name) = 0;
    virtual std::wstring fileName() const = 0;  // the selection text
    virtual void setFlags(std::uint32_t flags) = 0;
    virtual void setFilter(const std::wstring& filter) = 0;  // "desc|pattern"
    virtual std::wstring title() const = 0;
    virtual void showOpen() = 0;  // modal; a cancel leaves FileName empty

protected:
    ~FileDialog() = default;
};

// Modal dialogs that are not controls of the window. Message boxes show only
// the icon and OK, titled with the application title "Pelorin".
class Dialogs {
public:
    // Full path of the chosen folder, or empty when nothing usable was chosen.
    virtual std::wstring browseFolder(const std::wstring& title) = 0;
    virtual void messageBox(const std::wstring& text, Icon icon) = 0;

protected:
    ~Dialogs() = default;
};

class Toolkit : public EventPump {
public:
    virtual ListView& pstList() = 0;
    // The control of a Button or CheckBox row of kControlRows (a check box
    // is a button too); raises pelorin::Error(kErrInternal) for other ids.
    virtual Button& button(ControlId id) = 0;
    virtual CheckBox& checkBox(ControlId id) = 0;
    virtual Label& totalLabel() = 0;
    // What the window is busy with now; ui::BusyLock keeps it.
    virtual Busy busyWith() const = 0;
    virtual void setBusyWith(Busy kinds) = 0;
    virtual FileDialog& fileDialog() = 0;
    virtual Dialogs& dialogs() = 0;
    virtual TaskbarProgress& taskbar() = 0;
    virtual void setCursor(Cursor cursor) = 0;     // the application-wide pointer
    virtual wchar_t decimalSeparator() const = 0;  // the user's locale
    // The user asked to close the window while a click's loop runs; the
    // loop stops at its next pause and the window closes after it.
    virtual bool closeRequested() const = 0;
    // Asked while a call waits on Outlook, when no click may run: shows
    // what changed, takes in the user's keys and the window's own close
    // requests, and says whether Escape or a close asked to stop waiting.
    virtual bool stopWaitAsked() { return closeRequested(); }
    // Puts the text on the clipboard; false when the clipboard refused it.
    virtual bool copyText(const std::wstring& text) = 0;

    CheckBox& selectAll() { return checkBox(kIdSelectAll); }
    Button& attachButton() { return button(kIdAttach); }
    Button& addFileButton() { return button(kIdAddFile); }
    Button& addFolderButton() { return button(kIdAddFolder); }
    Button& clearListButton() { return button(kIdClearList); }

protected:
    ~Toolkit() = default;
};

}  // namespace pelorin::ui
