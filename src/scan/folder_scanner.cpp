// The breadth-first folder walk. folderPaths is the walk's queue: a folder's
// subfolders are appended as it is scanned, and the scan moves down the
// collection until it has reached the last folder queued.
#include "scan/folder_scanner.h"

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
    events_.doEvents();
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

// Events are processed while the walk runs, and a handler may reach this
// very scanner. So the walk holds its own references to the lists it loops
// over and looks the collections up afresh at every step: a release from
// such a handler leaves the walk without its queue, and it ends with an
// error instead of running on freed memory.
void FolderScanner::scan(const std::wstring& root) {
    if (!service().folderExists(root)) return;

    std::int32_t queueLength = 1;
    std::int32_t scanPosition = 1;
    fileCounter = 1;
    events_.doEvents();
    created(folderPaths_)->add(withSeparator(root), L"K0");

    std::wstring keyText;
    std::wstring path;
    while (scanPosition <= queueLength) {
        const wchar_t sep = service().separator();
        path = created(folderPaths_)->text(scanPosition);
        const auto folders = std::make_shared<const std::vector<std::wstring>>(
            service().openFolder(path)->subFolders());
        subFolders = folders;
        events_.doEvents();
        for (const std::wstring& name : *folders) {
            currentSubFolder.assign(name);
            increment(queueLength);
            std::wstring subPath;
            subPath.reserve(path.size() + name.size() + 1);
            subPath.append(path).append(name).push_back(sep);
            created(folderPaths_)->add(std::move(subPath), key(keyText, queueLength));
            events_.doEvents();
        }

        path = created(folderPaths_)->text(scanPosition);
        const auto files = std::make_shared<const std::vector<std::wstring>>(
            service().openFolder(path)->files());
        folderFiles = files;
        events_.doEvents();
        if (filesOnly_) {
            events_.doEvents();
            for (const std::wstring& name : *files) {
                currentFile.assign(name);
                created(filePaths_)->add(path + name, key(keyText, fileCounter));
                increment(fileCounter);
                events_.doEvents();
            }
        } else {
            events_.doEvents();
            for (const std::wstring& name : *files) {
                currentFile.assign(name);
                key(keyText, fileCounter);
                created(fileNames_)->add(name, keyText);
                created(filePaths_)->add(path + name, keyText);
                created(fileFolderIndexes_)->add(scanPosition, keyText);
                increment(fileCounter);
                events_.doEvents();
            }
        }
        events_.doEvents();
        increment(scanPosition);
    }
}

void FolderScanner::release() {
    events_.doEvents();
    fileSystem.reset();
    folderFiles.reset();
    currentFile.clear();
    subFolders.reset();
    currentSubFolder.clear();
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
