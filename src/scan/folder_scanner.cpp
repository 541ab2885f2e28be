// The breadth-first folder walk. folderPaths is the walk's queue: a folder's
// subfolders are appended as it is scanned, and the scan moves down the
// collection until it has reached the last folder queued.
#include "scan/folder_scanner.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <utility>

#include "base/error.h"

namespace pelorin::scan {
namespace {

void increment(std::int32_t& counter) {
    if (counter == INT32_MAX) throw Error(kErrOverflow, L"Overflow");
    ++counter;
}

// "K" followed by n in plain decimal, written into a reused buffer.
const std::wstring& key(std::wstring& buffer, std::int32_t n) {
    wchar_t digits[12];
    int count = 0;
    auto value = static_cast<std::uint32_t>(n);
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value != 0);
    buffer.assign(1, L'K');
    while (count > 0) buffer.push_back(digits[--count]);
    return buffer;
}

CollectionRef& created(CollectionRef& collection) {
    if (!collection) collection = std::make_shared<Collection>();
    return collection;
}

}  // namespace

FolderScanner::FolderScanner(FileSystemFactory makeFileSystem, EventPump& events)
    : makeFileSystem_(std::move(makeFileSystem)), events_(events) {}

void FolderScanner::reset() {
    fileSystem.reset();
    fileSystem = makeFileSystem_();
    filesOnly_ = true;
    events_.doEvents();  // pause: a fresh service, the old collections still held
    fileNames_.reset();
    fileFolderIndexes_.reset();
    folderPaths_.reset();
    filePaths_.reset();
}

wchar_t FolderScanner::separator() const {
    if (fileSystem) return fileSystem->separator();
#ifdef _WIN32
    return L'\\';
#else
    return L'/';
#endif
}

std::wstring FolderScanner::withSeparator(const std::wstring& fullPath) const {
    const wchar_t sep = separator();
    if (!fullPath.empty() && fullPath.back() == sep) return fullPath;
    return fullPath + sep;
}

FileSystem& FolderScanner::service() {
    // A scan needs the service reset creates; a scanner used without
    // it (or told to release from inside its own scan) takes a new one
    // rather than failing on the missing service.
    if (!fileSystem) fileSystem = makeFileSystem_();
    return *fileSystem;
}

// The longest the walk waits for a listing made ahead before it processes
// events again: the window keeps answering while a share is slow.
constexpr std::chrono::milliseconds kListingWaitSlice{20};

// The first opening of a folder, once its listing is in hand.
std::unique_ptr<Folder> FolderScanner::openListed(const std::wstring& path) {
    // Pause while the listing is still being made ahead.
    while (!service().listingReady(path, kListingWaitSlice)) events_.doEvents();
    return service().openFolder(path);
}

void FolderScanner::queueSubFolders(const std::wstring& path, std::int32_t& queueLength) {
    const std::vector<std::wstring> folders = openListed(path)->subFolders();
    events_.doEvents();  // pause: the folder's subfolders are listed
    std::wstring keyText;
    const wchar_t sep = service().separator();
    for (const std::wstring& name : folders) {
        increment(queueLength);
        std::wstring subPath;
        subPath.reserve(path.size() + name.size() + 1);
        subPath.append(path).append(name).push_back(sep);
        created(folderPaths_)->add(std::move(subPath), key(keyText, queueLength));
        events_.doEvents();  // pause: one subfolder queued
    }
}

void FolderScanner::nameFoldersAhead(std::int32_t scanPosition, std::int32_t queueLength) {
    const std::int32_t reach = std::min(queueLength, scanPosition + kListAheadFolders);
    while (namedAhead_ < reach) {
        ++namedAhead_;
        service().listAhead(created(folderPaths_)->text(namedAhead_));
    }
}

void FolderScanner::recordFiles(const std::wstring& path, std::int32_t scanPosition) {
    const std::vector<std::wstring> files = service().openFolder(path)->files();
    events_.doEvents();  // pause: the folder's files are listed
    events_.doEvents();  // pause: before its first file is recorded
    std::wstring keyText;
    for (const std::wstring& name : files) {
        key(keyText, fileCounter);
        // Sized exactly: a path held for every file of a big tree.
        std::wstring filePath;
        filePath.reserve(path.size() + name.size());
        filePath.append(path).append(name);
        if (!filesOnly_) {
            created(fileNames_)->add(name, keyText);
            created(filePaths_)->add(std::move(filePath), keyText);
            created(fileFolderIndexes_)->add(scanPosition, keyText);
        } else {
            created(filePaths_)->add(std::move(filePath), keyText);
        }
        increment(fileCounter);
        events_.doEvents();  // pause: one file recorded
    }
}

// Events are processed while the walk runs, and a handler may reach this
// very scanner. So the walk works on its own copies of the lists it loops
// over and looks the collections up afresh at every step: a release from
// such a handler leaves the walk without its queue, and it ends with an
// error instead of running on freed memory.
void FolderScanner::scan(const std::wstring& root) {
    if (!service().folderExists(root)) return;

    std::int32_t queueLength = 1;
    std::int32_t scanPosition = 1;
    fileCounter = 1;
    events_.doEvents();  // pause: the root exists, the walk begins
    created(folderPaths_)->add(withSeparator(root), L"K0");
    namedAhead_ = 1;  // the root is listed at once

    std::wstring path;
    while (scanPosition <= queueLength) {
        path = created(folderPaths_)->text(scanPosition);
        queueSubFolders(path, queueLength);
        nameFoldersAhead(scanPosition, queueLength);
        path = created(folderPaths_)->text(scanPosition);
        recordFiles(path, scanPosition);
        events_.doEvents();  // pause: the folder is done
        increment(scanPosition);
    }
}

void FolderScanner::release() {
    events_.doEvents();  // pause: before the scanner lets go of everything
    fileSystem.reset();
    fileNames_.reset();
    folderPaths_.reset();
    fileFolderIndexes_.reset();
    filePaths_.reset();
}

CollectionRef FolderScanner::fileNames() { return created(fileNames_); }
CollectionRef FolderScanner::folderPaths() { return created(folderPaths_); }
CollectionRef FolderScanner::fileFolderIndexes() { return created(fileFolderIndexes_); }
CollectionRef FolderScanner::filePaths() { return created(filePaths_); }

}  // namespace pelorin::scan
