// A toolkit without windows, for fast logic tests and deterministic
// re-entrancy tests. Dialogs and message boxes answer from a script; each
// doEvents() call can run a scheduled user action (a click on another
// button), which is how nested clicks are tested.
#pragma once
#include <array>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/toolkit.h"

namespace pelorin::ui {

struct HeadlessRow {
    std::array<std::wstring, kColumnCount> cells;  // by Column; FileName is the text
    bool checked = false;
    bool highlighted = false;
    int smallIcon = 0;
};

class HeadlessListView final : public ListView {
public:
    int count() const override { return static_cast<int>(rows.size()); }
    void insert(int index, const std::wstring& text, int smallIcon) override;
    std::wstring text(int row) const override { return subItem(row, Column::FileName); }
    std::wstring subItem(int row, Column column) const override;
    void setSubItem(int row, Column column, const std::wstring& text) override;
    bool checked(int row) const override { return at(row).checked; }
    void setChecked(int row, bool value) override { at(row).checked = value; }
    bool highlighted(int row) const override { return at(row).highlighted; }
    void setHighlighted(int row, bool value) override { at(row).highlighted = value; }
    void remove(int row) override;
    void clear() override { rows.clear(); }
    void ensureVisible(int row) override { shownRows.push_back(at(row).cells[0]); }

    std::vector<HeadlessRow> rows;        // rows[0] is row 1
    std::vector<std::wstring> shownRows;  // the paths ensureVisible was given, in order

private:
    HeadlessRow& at(int row);
    const HeadlessRow& at(int row) const;
};

class HeadlessCheckBox final : public CheckBox {
public:
    int value() const override { return val; }
    void setValue(int v) override { val = v; }
    bool enabled() const override { return on; }
    void setEnabled(bool e) override { on = e; }
    int val = 0;
    bool on = true;
};

class HeadlessButton final : public Button {
public:
    bool enabled() const override { return on; }
    void setEnabled(bool e) override { on = e; }
    bool on = true;
};

class HeadlessLabel final : public Label {
public:
    std::wstring caption() const override { return text; }
    void setCaption(const std::wstring& c) override { text = c; }
    std::wstring text = L"0";
};

// Answers ShowOpen from `answers` (one selection text per call; an empty one
// = cancel); with none left, from `generate` when set, else a cancel.
class HeadlessFileDialog final : public FileDialog {
public:
    void setFileName(const std::wstring& name) override { file = name; }
    std::wstring fileName() const override { return file; }
    void setFlags(std::uint32_t f) override { flags = f; }
    void setFilter(const std::wstring& f) override { filter = f; }
    std::wstring title() const override { return L"Select Web Pages"; }
    void showOpen() override;

    std::deque<std::wstring> answers;
    std::function<std::wstring()> generate;
    std::wstring file;
    std::uint32_t flags = 0;
    std::wstring filter;
    int shown = 0;
};

struct MessageRecord {
    std::wstring text;
    Icon icon;
    bool operator==(const MessageRecord&) const = default;
};

class HeadlessDialogs final : public Dialogs {
public:
    std::wstring browseFolder(const std::wstring& title) override;
    void messageBox(const std::wstring& text, Icon icon) override;

    std::deque<std::wstring> folderAnswers;  // none left: `generateFolder`, else cancel
    std::function<std::wstring()> generateFolder;
    std::vector<std::wstring> browseTitles;
    std::vector<MessageRecord> messages;
    std::function<void()> onMessageBox;  // runs while a box is "open"
};

// Records what the taskbar button was told: "done/total", "error", "clear".
class HeadlessTaskbar final : public TaskbarProgress {
public:
    void setProgress(int done, int total) override {
        events.push_back(std::to_wstring(done) + L"/" + std::to_wstring(total));
    }
    void setError() override { events.push_back(L"error"); }
    void clear() override { events.push_back(L"clear"); }
    std::vector<std::wstring> events;
};

// The controls of kControlRows, each in the state the window starts with.
class HeadlessToolkit final : public Toolkit {
public:
    HeadlessToolkit();
    ListView& pstList() override { return list; }
    Button& button(ControlId id) override;
    CheckBox& checkBox(ControlId id) override;
    bool closeRequested() const override { return closeRequest; }
    bool stopWaitAsked() override { return closeRequest || escapePressed; }
    bool copyText(const std::wstring& text) override {
        clipboard = text;
        return true;
    }
    Label& totalLabel() override { return total; }
    Busy busyWith() const override { return busy; }
    void setBusyWith(Busy kinds) override { busy = kinds; }
    FileDialog& fileDialog() override { return openDialog; }
    Dialogs& dialogs() override { return dlg; }
    TaskbarProgress& taskbar() override { return progress; }
    void setCursor(Cursor c) override { cursors.push_back(c); }
    wchar_t decimalSeparator() const override { return decimal; }
    void doEvents() override;

    // Runs `action` inside the doEvents() call with this 1-based number.
    void at(int call, std::function<void()> action);
    // Called on every doEvents() (after any scheduled action), when set.
    std::function<void(int call)> onDoEvents;

    Cursor cursor() const { return cursors.empty() ? Cursor::Default : cursors.back(); }

    HeadlessListView list;
    bool closeRequest = false;
    std::wstring clipboard;
    Busy busy = Busy::None;
    bool escapePressed = false;  // stops a wait on Outlook (stopWaitAsked)
    HeadlessLabel total;
    HeadlessFileDialog openDialog;
    HeadlessDialogs dlg;
    HeadlessTaskbar progress;
    std::vector<Cursor> cursors;
    wchar_t decimal = L'.';
    int doEventsCalls = 0;

private:
    std::map<ControlId, HeadlessButton> buttons_;
    std::map<ControlId, HeadlessCheckBox> checkBoxes_;
    std::multimap<int, std::function<void()>> scheduled_;
};

}  // namespace pelorin::ui
