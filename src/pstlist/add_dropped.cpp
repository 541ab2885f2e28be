#include "pstlist/add_dropped.h"

#include <memory>

#include "pstlist/add_files.h"
#include "pst/pst_scan.h"
#include "pstlist/add_folder.h"
#include "pstlist/pst_list.h"

namespace pelorin::pstlist {

namespace {

// What a drop has to say once it is done.
struct DropNotes {
    std::vector<std::wstring> texts;
    ui::Icon icon = ui::Icon::Information;
    int notPst = 0;
    std::vector<std::wstring> unreadable;

    void add(const std::wstring& text, ui::Icon of) {
        if (text.empty()) return;
        texts.push_back(text);
        if (of == ui::Icon::Critical) icon = ui::Icon::Critical;
    }
    std::wstring joined() const {
        std::wstring text;
        for (const std::wstring& part : texts) text += (text.empty() ? L"" : L"\n\n") + part;
        return text;
    }
};

}  // namespace

std::wstring notPstText(int files) {
    if (files == 1) return L"1 dropped file is not a PST file and was skipped.";
    return std::to_wstring(files) + L" dropped files are not PST files and were skipped.";
}

void addDropped(ui::Toolkit& ui, const scan::FileSystemFactory& fileSystems,
                const std::vector<std::wstring>& paths) {
    const std::unique_ptr<scan::FileSystem> fs = fileSystems();
    DropNotes notes;
    ui.setCursor(ui::Cursor::Hourglass);
    for (const std::wstring& path : paths) {
        if (pauseEndsOperation(ui)) {  // pause: one dropped path
            ui.setCursor(ui::Cursor::Default);
            return;
        }
        if (path.empty()) continue;
        if (fs->folderExists(path)) {
            std::wstring root = path;
            if (root.back() != fs->separator()) root += fs->separator();
            const FolderOutcome outcome = addFolderRows(ui, fileSystems, root);
            if (outcome.closing) {
                ui.setCursor(ui::Cursor::Default);
                return;  // the window closes: no total, no message
            }
            notes.add(outcome.message, outcome.icon);
        } else if (pst::isPstPath(path)) {
            if (addMeasuredRow(ui, *fs, path, notes.unreadable)) ui.selectAll().setEnabled(true);
        } else {
            ++notes.notPst;
        }
    }
    ui.setCursor(ui::Cursor::Default);
    refreshTotal(ui);
    if (notes.notPst > 0) notes.add(notPstText(notes.notPst), ui::Icon::Information);
    if (!notes.unreadable.empty())
        notes.add(unreadableFilesText(notes.unreadable), ui::Icon::Critical);
    if (!notes.texts.empty()) ui.dialogs().messageBox(notes.joined(), notes.icon);
}

}  // namespace pelorin::pstlist
