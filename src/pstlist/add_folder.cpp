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

void addFolder(ui::Toolkit& ui, const scan::FileSystemFactory& fileSystems,
               std::wstring& selectedFolder) {
    selectedFolder = ui.dialogs().browseFolder(kBrowseTitle);
    if (selectedFolder.empty()) {
        ui.selectAll().setEnabled(false);
        return;
    }
    const std::unique_ptr<scan::FileSystem> fs = fileSystems();
    if (selectedFolder.back() != fs->separator()) selectedFolder += fs->separator();
    // This run's own copy: a nested Add Folder in one of the pauses below
    // picks a new folder without changing the tree this run walks.
    const std::wstring root = selectedFolder;

    ui.setCursor(ui::Cursor::Hourglass);
    std::wstring message;
    ui::Icon icon = ui::Icon::Information;
    try {
        StopOnClose pauses(ui);
        const pst::PstScan found = pst::scanForPsts(root, fileSystems, pauses);
        std::vector<std::wstring> unreadable;
        const int added = addRows(ui, *fs, *found.paths, unreadable);
        ui.attachButton().setEnabled(added > 0);
        if (!found.skippedFolders.empty() || !unreadable.empty())
            message = skippedText(found.skippedFolders.size(), unreadable);
    } catch (const std::bad_alloc&) {
        // Whatever the scan held is freed by now; the rows from before stay.
        message = kOutOfMemoryText;
        icon = ui::Icon::Critical;
    } catch (const CloseAsked&) {
        ui.setCursor(ui::Cursor::Default);
        return;  // the window closes: no total, no message
    }
    ui.setCursor(ui::Cursor::Default);
    refreshTotal(ui);
    if (!message.empty()) ui.dialogs().messageBox(message, icon);
}

}  // namespace pelorin::pstlist
