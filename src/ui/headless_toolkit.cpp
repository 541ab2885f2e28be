#include "ui/headless_toolkit.h"

#include "base/error.h"

namespace pelorin::ui {

namespace {
[[noreturn]] void badIndex() { throw Error(kErrSubscript, L"Index out of bounds"); }
}  // namespace

HeadlessRow& HeadlessListView::at(int row) {
    if (row < 1 || row > count()) badIndex();
    return rows[static_cast<size_t>(row - 1)];
}

const HeadlessRow& HeadlessListView::at(int row) const {
    if (row < 1 || row > count()) badIndex();
    return rows[static_cast<size_t>(row - 1)];
}

void HeadlessListView::insert(int index, const std::wstring& text, int smallIcon) {
    if (index < 1 || index > count() + 1) badIndex();
    HeadlessRow added;
    added.cells[0] = text;
    added.smallIcon = smallIcon;
    rows.insert(rows.begin() + (index - 1), std::move(added));
}

std::wstring HeadlessListView::subItem(int row, Column column) const {
    const int n = columnIndex(column);
    if (n < 0 || n >= kColumnCount) badIndex();
    return at(row).cells[static_cast<size_t>(n)];
}

void HeadlessListView::setSubItem(int row, Column column, const std::wstring& text) {
    const int n = columnIndex(column);
    if (n < 0 || n >= kColumnCount) badIndex();
    at(row).cells[static_cast<size_t>(n)] = text;
}

void HeadlessListView::remove(int row) {
    at(row);  // raises for a row out of range
    rows.erase(rows.begin() + (row - 1));
}

void HeadlessFileDialog::showOpen() {
    ++shown;
    if (answers.empty()) {
        file = generate ? generate() : std::wstring();
        return;
    }
    file = answers.front();
    answers.pop_front();
}

std::wstring HeadlessDialogs::browseFolder(const std::wstring& title) {
    browseTitles.push_back(title);
    if (folderAnswers.empty()) return generateFolder ? generateFolder() : std::wstring();
    std::wstring answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}

void HeadlessDialogs::messageBox(const std::wstring& text, Icon icon) {
    messages.push_back({text, icon});
    if (onMessageBox) onMessageBox();
}

HeadlessToolkit::HeadlessToolkit() {
    for (const ControlRow& row : kControlRows) {
        if (row.kind == ControlKind::Button) buttons_[row.id].on = row.enabledAtStart;
        if (row.kind == ControlKind::CheckBox) checkBoxes_[row.id].on = row.enabledAtStart;
    }
}

Button& HeadlessToolkit::button(ControlId id) {
    if (auto it = buttons_.find(id); it != buttons_.end()) return it->second;
    return checkBox(id);
}

CheckBox& HeadlessToolkit::checkBox(ControlId id) {
    if (auto it = checkBoxes_.find(id); it != checkBoxes_.end()) return it->second;
    throw Error(kErrInternal, L"No button or check box with id " + std::to_wstring(id));
}

void HeadlessToolkit::at(int call, std::function<void()> action) {
    scheduled_.emplace(call, std::move(action));
}

void HeadlessToolkit::doEvents() {
    const int call = ++doEventsCalls;
    // Take the actions out first: an action may schedule more or nest.
    auto range = scheduled_.equal_range(call);
    std::vector<std::function<void()>> due;
    for (auto it = range.first; it != range.second; ++it) due.push_back(std::move(it->second));
    scheduled_.erase(range.first, range.second);
    for (auto& action : due) action();
    if (onDoEvents) onDoEvents(call);
}

}  // namespace pelorin::ui
