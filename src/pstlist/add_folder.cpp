#include "pstlist/add_folder.h"

#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "pstlist/add_files.h"
#include "pstlist/pst_list.h"
#include "scan/folder_scanner.h"
#include "base/error.h"

namespace pelorin::pstlist {

namespace {

constexpr wchar_t kBrowseTitle[] = L"Select folder having PST files...";

// Folders a scan could not open or list, by path: a folder that fails twice
// (its subfolders and its files) counts once.
using SkippedFolders = std::shared_ptr<std::set<std::wstring>>;

class SkippingFolder final : public scan::Folder {
public:
    SkippingFolder(std::unique_ptr<scan::Folder> inner, std::wstring path, SkippedFolders skipped)
        : inner_(std::move(inner)), path_(std::move(path)), skipped_(std::move(skipped)) {}

    std::vector<std::wstring> subFolders() override { return list(&scan::Folder::subFolders); }
    std::vector<std::wstring> files() override { return list(&scan::Folder::files); }

private:
    std::vector<std::wstring> list(std::vector<std::wstring> (scan::Folder::*listing)()) {
        if (!inner_) return {};
        try {
            return ((*inner_).*listing)();
        } catch (const Error&) {
            skipped_->insert(path_);
            return {};
        }
    }

    std::unique_ptr<scan::Folder> inner_;  // null: the folder could not be opened
    std::wstring path_;
    SkippedFolders skipped_;
};

// The service handed to the scanner for Add Folder: a folder that cannot be
// opened or listed (no access rights, removed during the scan) reads as
// empty and is noted, so one such folder does not cost the whole tree. The
// scanner itself still reports such failures to callers that want them.
class SkippingFileSystem final : public scan::FileSystem {
public:
    SkippingFileSystem(std::unique_ptr<scan::FileSystem> inner, SkippedFolders skipped)
        : inner_(std::move(inner)), skipped_(std::move(skipped)) {}

    wchar_t separator() const override { return inner_->separator(); }
    bool folderExists(const std::wstring& path) override { return inner_->folderExists(path); }
    std::unique_ptr<scan::Folder> openFolder(const std::wstring& path) override {
        std::unique_ptr<scan::Folder> folder;
        try {
            folder = inner_->openFolder(path);
        } catch (const Error&) {
            skipped_->insert(path);
        }
        return std::make_unique<SkippingFolder>(std::move(folder), path, skipped_);
    }
    std::int64_t fileLength(const std::wstring& path) override { return inner_->fileLength(path); }

private:
    std::unique_ptr<scan::FileSystem> inner_;
    SkippedFolders skipped_;
};

std::wstring skippedText(size_t folders, const std::vector<std::wstring>& files) {
    std::wstring text;
    if (folders == 1) text = L"1 folder could not be read and was skipped.";
    else if (folders > 1)
        text = std::to_wstring(folders) + L" folders could not be read and were skipped.";
    if (!files.empty()) {
        if (!text.empty()) text += L"\n\n";
        text += unreadableFilesText(files);
    }
    return text;
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

scan::CollectionRef scanTree(const std::wstring& root, const scan::FileSystemFactory& fileSystems,
                             EventPump& events, std::set<std::wstring>& skipped) {
    auto noted = std::make_shared<std::set<std::wstring>>();
    scan::CollectionRef paths;
    {
        scan::FolderScanner scanner(
            [&fileSystems, noted] {
                return std::make_unique<SkippingFileSystem>(fileSystems(), noted);
            },
            events);
        events.doEvents();
        scanner.reset();
        scanner.filesOnly(true);
        scanner.scan(root);
        events.doEvents();
        (void)scanner.count();
        paths = scanner.filePaths();
        scanner.release();
    }
    skipped.insert(noted->begin(), noted->end());
    return paths ? paths : std::make_shared<scan::Collection>();
}

void addFolder(ui::Toolkit& ui, const scan::FileSystemFactory& fileSystems,
                    std::wstring& selectedFolder) {
    selectedFolder = ui.dialogs().browseFolder(kBrowseTitle);
    if (selectedFolder.empty()) {
        ui.selectAll().setEnabled(false);
        return;
    }
    const std::unique_ptr<scan::FileSystem> fs = fileSystems();
    const wchar_t separator = fs->separator();
    if (selectedFolder.back() != separator) selectedFolder += separator;
    // This run's own copy: a nested Add Folder in one of the pauses below
    // picks a new folder without changing the tree this run walks.
    const std::wstring root = selectedFolder;

    ui.setCursor(ui::Cursor::Hourglass);
    std::set<std::wstring> skippedFolders;
    const scan::CollectionRef paths = scanTree(root, fileSystems, ui, skippedFolders);

    int added = 0;
    std::vector<std::wstring> unreadable;
    ui.doEvents();
    ui.selectAll().setEnabled(true);
    const std::int32_t n = paths->count();
    for (std::int32_t i = 1; i <= n; ++i) {
        ui.doEvents();
        const std::wstring& path = paths->text(i);
        if (!isPstPath(path)) continue;
        ui.doEvents();
        ui.doEvents();
        // Measured before the row exists: a file removed since the scan gets
        // no row and is named at the end.
        std::int64_t length = 0;
        try {
            length = fs->fileLength(path);
        } catch (const Error&) {
            unreadable.push_back(path);
            continue;
        }
        insertPstRow(ui, path, length);
        ++added;
    }
    ui.setCursor(ui::Cursor::Default);
    ui.attachButton().setEnabled(added > 0);
    refreshTotal(ui);
    if (!skippedFolders.empty() || !unreadable.empty())
        ui.dialogs().messageBox(skippedText(skippedFolders.size(), unreadable),
                                ui::Icon::Information);
}

}  // namespace pelorin::pstlist
