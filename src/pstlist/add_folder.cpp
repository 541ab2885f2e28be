// Add Folder: the folder picker, the scan that keeps only the PSTs, and their
// rows; unreadable folders and files are counted and named once at the end.
#include "pstlist/add_folder.h"

#include <memory>
#include <new>
#include <vector>

#include "pstlist/add_files.h"
#include "pstlist/pst_list.h"
#include "pst/pst_scan.h"

namespace pelorin::pstlist {

namespace {

constexpr wchar_t kBrowseTitle[] = L"Select folder having PST files...";
constexpr wchar_t kOutOfMemoryText[] =
    L"There is not enough memory to add the PST files of this folder. "
    L"Please choose a smaller folder.";

// Raised through the scanner at its next pause once a close of the window
// was asked for: Add Folder stops there.
struct CloseAsked {};

// The window's pauses, for the scanner: each ends the scan once a close was asked for.
class StopOnClose final : public EventPump {
public:
    explicit StopOnClose(ui::Toolkit& ui) : ui_(ui) {}
    void doEvents() override {
        if (pauseEndsOperation(ui_)) throw CloseAsked{};
    }

private:
    ui::Toolkit& ui_;
};

std::wstring skippedText(size_t folders, const std::vector<std::wstring>& files) {
    std::wstring text;
    if (folders == 1)
        text = L"1 folder could not be read and was skipped.";
    else if (folders > 1)
        text = std::to_wstring(folders) + L" folders could not be read and were skipped.";
    if (!files.empty()) {
        if (!text.empty()) text += L"\n\n";
        text += unreadableFilesText(files);
    }
    return text;
}

std::wstring noPstText(const std::wstring& folder) {
    return L"No PST files were found in " + folder + L" or its subfolders.";
}

// The rows of the PSTs found, newest on top; the files that could no longer
// be measured go to `unreadable`. Returns the number of rows added.
int addRows(ui::Toolkit& ui, scan::FileSystem& fs, const scan::Collection& paths,
            std::vector<std::wstring>& unreadable) {
    int added = 0;
    StopOnClose pause(ui);
    pause.doEvents();  // pause: before the first row
    ui.selectAll().setEnabled(true);
    const std::int32_t n = paths.count();
    for (std::int32_t i = 1; i <= n; ++i) {
        pause.doEvents();  // pause: one PST found
        pause.doEvents();  // pause: before it is measured
        pause.doEvents();  // pause: before its row
        if (addMeasuredRow(ui, fs, paths.text(i), unreadable)) ++added;
    }
    return added;
}

}  // namespace

FolderOutcome addFolderRows(ui::Toolkit& ui, const scan::FileSystemFactory& fileSystems,
                            const std::wstring& root) {
    const std::unique_ptr<scan::FileSystem> fs = fileSystems();
    FolderOutcome outcome;
    try {
        StopOnClose pauses(ui);
        const pst::PstScan found = pst::scanForPsts(root, fileSystems, pauses);
        std::vector<std::wstring> unreadable;
        const bool none = found.paths->count() == 0;
        addRows(ui, *fs, *found.paths, unreadable);
        if (!found.skippedFolders.empty() || !unreadable.empty())
            outcome.message = skippedText(found.skippedFolders.size(), unreadable);
        if (none)
            outcome.message =
                noPstText(root) + (outcome.message.empty() ? L"" : L"\n\n" + outcome.message);
    } catch (const std::bad_alloc&) {
        // Whatever the scan held is freed by now; the rows from before stay.
        outcome.message = kOutOfMemoryText;
        outcome.icon = ui::Icon::Critical;
    } catch (const CloseAsked&) {
        outcome = {L"", ui::Icon::Information, true};  // the window closes: nothing to say
    }
    return outcome;
}

void addFolder(ui::Toolkit& ui, const scan::FileSystemFactory& fileSystems,
               std::wstring& selectedFolder) {
    selectedFolder = ui.dialogs().browseFolder(kBrowseTitle);
    if (selectedFolder.empty()) return;  // a cancel changes nothing in the window
    const wchar_t separator = fileSystems()->separator();
    if (selectedFolder.back() != separator) selectedFolder += separator;
    // This run's own copy: a nested Add Folder in one of the pauses below
    // picks a new folder without changing the tree this run walks.
    const std::wstring root = selectedFolder;

    ui.setCursor(ui::Cursor::Hourglass);
    const FolderOutcome outcome = addFolderRows(ui, fileSystems, root);
    ui.setCursor(ui::Cursor::Default);
    if (outcome.closing) return;  // no total, no message
    refreshTotal(ui);
    if (!outcome.message.empty()) ui.dialogs().messageBox(outcome.message, outcome.icon);
}

}  // namespace pelorin::pstlist
