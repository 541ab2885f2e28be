// Add Folder: the folder picker, the scan that keeps only the PSTs, and their
// rows; unreadable folders and files are counted and named once at the end.
#include "pstlist/add_folder.h"

#include <functional>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "pstlist/add_files.h"
#include "pstlist/pst_list.h"
#include "scan/folder_scanner.h"
#include "base/error.h"

namespace pelorin::pstlist {

namespace {

constexpr wchar_t kBrowseTitle[] = L"Select folder having PST files...";
constexpr wchar_t kOutOfMemoryText[] =
    L"There is not enough memory to add the PST files of this folder. "
    L"Please choose a smaller folder.";

// Raised through the scanner when the root itself has gone (a share that
// went away): every folder still queued would fail the same way.
struct RootGone {};

// What one scan noted besides the files: the root it walks and the folders
// it could not open or list, by path.
struct ScanNotes {
    std::wstring root;
    std::set<std::wstring> skipped;
};

// A folder as Add Folder sees it: only the files whose names pass the
// ".pst" test (the scanner then holds the PSTs' paths and nothing more), and
// a failure to list it noted instead of raised.
class PstFolder final : public scan::Folder {
public:
    using Fail = std::function<void()>;
    PstFolder(std::unique_ptr<scan::Folder> inner, Fail fail)
        : inner_(std::move(inner)), fail_(std::move(fail)) {}

    std::vector<std::wstring> subFolders() override { return list(&scan::Folder::subFolders); }
    std::vector<std::wstring> files() override {
        std::vector<std::wstring> names = list(&scan::Folder::files);
        std::erase_if(names, [](const std::wstring& name) { return !isPstPath(name); });
        return names;
    }

private:
    std::vector<std::wstring> list(std::vector<std::wstring> (scan::Folder::*listing)()) {
        if (!inner_) return {};
        try {
            return ((*inner_).*listing)();
        } catch (const Error&) {
            fail_();
            return {};
        }
    }

    std::unique_ptr<scan::Folder> inner_;  // null: the folder could not be opened
    Fail fail_;
};

// The service handed to the scanner for Add Folder: a folder that cannot be
// opened or listed (no access rights, removed during the scan) reads as
// empty and is noted, so one such folder does not cost the whole tree; once
// the root itself is gone the scan stops. The scanner itself still reports
// such failures to callers that want them.
class PstFileSystem final : public scan::FileSystem {
public:
    PstFileSystem(std::unique_ptr<scan::FileSystem> inner, std::shared_ptr<ScanNotes> notes)
        : inner_(std::move(inner)), notes_(std::move(notes)) {}

    wchar_t separator() const override { return inner_->separator(); }
    bool folderExists(const std::wstring& path) override { return inner_->folderExists(path); }
    std::unique_ptr<scan::Folder> openFolder(const std::wstring& path) override {
        std::unique_ptr<scan::Folder> folder;
        try {
            folder = inner_->openFolder(path);
        } catch (const Error&) {
            noteFailure(path);
        }
        return std::make_unique<PstFolder>(std::move(folder), [this, path] { noteFailure(path); });
    }
    void listAhead(const std::wstring& path) override { inner_->listAhead(path); }
    bool listingReady(const std::wstring& path, std::chrono::milliseconds wait) override {
        return inner_->listingReady(path, wait);
    }
    std::int64_t fileLength(const std::wstring& path) override { return inner_->fileLength(path); }

private:
    void noteFailure(const std::wstring& path) {
        notes_->skipped.insert(path);
        if (!inner_->folderExists(notes_->root)) throw RootGone{};
    }

    std::unique_ptr<scan::FileSystem> inner_;
    std::shared_ptr<ScanNotes> notes_;
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
    ui.doEvents();  // pause: before the first row
    ui.selectAll().setEnabled(true);
    const std::int32_t n = paths.count();
    for (std::int32_t i = 1; i <= n; ++i) {
        ui.doEvents();  // pause: one PST found
        ui.doEvents();  // pause: before it is measured
        ui.doEvents();  // pause: before its row
        if (addMeasuredRow(ui, fs, paths.text(i), unreadable)) ++added;
    }
    return added;
}

}  // namespace

bool isPstPath(const std::wstring& path) {
    const size_t first = path.find_first_not_of(L' ');
    if (first == std::wstring::npos) return false;
    const size_t end = path.find_last_not_of(L' ') + 1;
    if (end - first < 4) return false;
    static constexpr wchar_t kSuffix[] = L".pst";
    for (size_t i = 0; i < 4; ++i) {
        wchar_t ch = path[end - 4 + i];
        if (ch >= L'A' && ch <= L'Z') ch = static_cast<wchar_t>(ch - L'A' + L'a');
        if (ch != kSuffix[i]) return false;
    }
    return true;
}

PstScan scanForPsts(const std::wstring& root, const scan::FileSystemFactory& fileSystems,
                    EventPump& events) {
    auto notes = std::make_shared<ScanNotes>();
    notes->root = root;
    PstScan found;
    scan::FolderScanner scanner(
        [&fileSystems, notes] { return std::make_unique<PstFileSystem>(fileSystems(), notes); },
        events);
    events.doEvents();  // pause: before the scan
    scanner.reset();
    scanner.filesOnly(true);
    try {
        scanner.scan(root);
    } catch (const RootGone&) {
        // The folders found before the root went keep their rows.
    }
    events.doEvents();  // pause: the scan is done
    found.paths = scanner.filePaths();
    scanner.release();
    found.skippedFolders = std::move(notes->skipped);
    return found;
}

FolderOutcome addFolderRows(ui::Toolkit& ui, const scan::FileSystemFactory& fileSystems,
                            const std::wstring& root) {
    const std::unique_ptr<scan::FileSystem> fs = fileSystems();
    std::wstring message;
    ui::Icon icon = ui::Icon::Information;
    try {
        const PstScan found = scanForPsts(root, fileSystems, ui);
        std::vector<std::wstring> unreadable;
        const bool none = found.paths->count() == 0;
        addRows(ui, *fs, *found.paths, unreadable);
        if (!found.skippedFolders.empty() || !unreadable.empty())
            message = skippedText(found.skippedFolders.size(), unreadable);
        if (none) message = noPstText(root) + (message.empty() ? L"" : L"\n\n" + message);
    } catch (const std::bad_alloc&) {
        // Whatever the scan held is freed by now; the rows from before stay.
        message = kOutOfMemoryText;
        icon = ui::Icon::Critical;
    }
    return {message, icon};
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
    refreshTotal(ui);
    if (!outcome.message.empty()) ui.dialogs().messageBox(outcome.message, outcome.icon);
}

}  // namespace pelorin::pstlist
