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
    rows.insert(rows.begin() + (index - 1), HeadlessRow{text, L"", L"", false, smallIcon});
}

std::wstring HeadlessListView::subItem(int row, int n) const {
    if (n == 1) return at(row).size;
    if (n == 2) return at(row).status;
    badIndex();
}

void HeadlessListView::setSubItem(int row, int n, const std::wstring& text) {
    if (n == 1)
        at(row).size = text;
    else if (n == 2)
        at(row).status = text;
    else
        badIndex();
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
