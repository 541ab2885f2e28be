// Add File: the open-file dialog, its selection text split into paths, and
// a row for every file that can be measured.
#include "pstlist/add_files.h"

#include <optional>

#include "pstlist/pst_list.h"
#include "base/error.h"

namespace pelorin::pstlist {

namespace {

constexpr wchar_t kFilter[] = L"Outlook PST File(s)|*.pst";
constexpr size_t kMaxListedFiles = 20;

// One entry per element 0..U-1 of the selection text: the path it names, or
// nothing for the folder element and for empty names.
std::vector<std::optional<std::wstring>> splitSelection(std::wstring text, wchar_t separator) {
    std::vector<std::optional<std::wstring>> entries;
    if (text.empty()) return entries;
    if (text.back() != L'\0') text.push_back(L'\0');

    std::vector<std::wstring> elements;
    size_t start = 0;
    for (size_t nul = text.find(L'\0'); nul != std::wstring::npos;
         start = nul + 1, nul = text.find(L'\0', start)) {
        elements.push_back(text.substr(start, nul - start));
    }
    elements.push_back(text.substr(start));  // the empty text behind the last NUL
    const size_t last = elements.size() - 1;

    std::wstring prefix;
    if (last >= 2) {
        prefix = elements[0];
        if (prefix.empty() || prefix.back() != separator) prefix += separator;
    }
    for (size_t i = 0; i < last; ++i) {
        if ((!prefix.empty() && i == 0) || elements[i].empty())
            entries.emplace_back();
        else
            entries.emplace_back(prefix + elements[i]);
    }
    return entries;
}

}  // namespace

std::vector<std::wstring> selectionPaths(const std::wstring& selection, wchar_t separator) {
    std::vector<std::wstring> paths;
    for (auto& entry : splitSelection(selection, separator))
        if (entry) paths.push_back(std::move(*entry));
    return paths;
}

std::wstring unreadableFilesText(const std::vector<std::wstring>& paths) {
    std::wstring text = L"These files could not be read and were not added:";
    const size_t shown = paths.size() <= kMaxListedFiles + 1 ? paths.size() : kMaxListedFiles;
    for (size_t i = 0; i < shown; ++i) text += L"\n" + paths[i];
    if (shown < paths.size())
        text += L"\n... and " + std::to_wstring(paths.size() - shown) + L" more.";
    return text;
}

void addFiles(ui::Toolkit& ui, scan::FileSystem& fs) {
    if (pauseEndsOperation(ui)) return;  // pause: before the dialog opens
    ui::FileDialog& dialog = ui.fileDialog();
    dialog.setFileName(L"");
    dialog.setFlags(kOfnExplorer | kOfnAllowMultiSelect);
    dialog.setFilter(kFilter);
    dialog.showOpen();
    // The selection is taken once, as the dialog closes: the dialog is shared,
    // and a nested Add File in one of the pauses below changes its text, not
    // this run's list.
    const std::wstring selection = dialog.fileName();

    if (pauseEndsOperation(ui)) return;  // pause: the dialog has closed
    if (selection.empty()) return;       // a cancel changes nothing in the window
    ui.selectAll().setEnabled(true);
    if (pauseEndsOperation(ui)) return;  // pause: Select All is enabled
    if (pauseEndsOperation(ui)) return;  // pause: before the selection is split
    if (pauseEndsOperation(ui)) return;  // pause: before the first name

    std::vector<std::wstring> unreadable;
    for (const auto& entry : splitSelection(selection, fs.separator())) {
        if (pauseEndsOperation(ui)) return;  // pause: one element of the selection
        if (!entry) continue;
        if (pauseEndsOperation(ui)) return;  // pause: before the file is measured
        addMeasuredRow(ui, fs, *entry, unreadable);
        if (pauseEndsOperation(ui)) return;  // pause: the file is done, with or without a row
    }
    refreshTotal(ui);
    if (!unreadable.empty())
        ui.dialogs().messageBox(unreadableFilesText(unreadable), ui::Icon::Critical);
}

}  // namespace pelorin::pstlist
