// The breadth-first folder walk. pathNames is the walk's queue: a folder's
// subfolders are appended as it is scanned, and the scan moves down the
// collection until it has reached the last folder queued.
#include "scan/path_logger.h"

#include <cstdint>
#include <utility>

#include "ui/error.h"

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

pathLogger::pathLogger(FileSystemFactory makeFileSystem, ui::EventPump& events)
    : makeFileSystem_(std::move(makeFileSystem)), events_(events) {}

void pathLogger::PathLogInit() {
    fileSystem.reset();
    fileSystem = makeFileSystem_();
    fullFileNamesOnly_ = true;
    events_.doEvents();
    fileNames_.reset();
    pathPointers_.reset();
    pathNames_.reset();
    fullFileNames_.reset();
}

wchar_t pathLogger::separator() const {
    if (fileSystem) return fileSystem->separator();
#ifdef _WIN32
    return L'\\';
#else
    return L'/';
#endif
}

std::wstring pathLogger::WithBackslash(const std::wstring& fullPath) const {
    const wchar_t sep = separator();
    if (!fullPath.empty() && fullPath.back() == sep) return fullPath;
    return fullPath + sep;
}

FileSystem& pathLogger::service() {
    // A scan needs the service PathLogInit creates; a scanner used without
    // it (or told to Terminate from inside its own scan) takes a new one
    // rather than failing on the missing service.
    if (!fileSystem) fileSystem = makeFileSystem_();
    return *fileSystem;
}

// Events are processed while the walk runs, and a handler may reach this
// very scanner. So the walk holds its own references to the lists it loops
// over and looks the collections up afresh at every step: a Terminate from
// such a handler leaves the walk without its queue, and it ends with an
// error instead of running on freed memory.
void pathLogger::LogPath(const std::wstring& strPARENT) {
    if (!service().FolderExists(strPARENT)) return;

    std::int32_t queueLength = 1;
    std::int32_t scanPosition = 1;
    fileCounter = 1;
    events_.doEvents();
    created(pathNames_)->Add(WithBackslash(strPARENT), L"K0");

    std::wstring keyText;
    std::wstring path;
    while (scanPosition <= queueLength) {
        const wchar_t sep = service().separator();
        path = created(pathNames_)->Text(scanPosition);
        const auto folders = std::make_shared<const std::vector<std::wstring>>(
            service().GetFolder(path)->SubFolders());
        subFolders = folders;
        events_.doEvents();
        for (const std::wstring& name : *folders) {
            currentSubFolder.assign(name);
            increment(queueLength);
            std::wstring subPath;
            subPath.reserve(path.size() + name.size() + 1);
            subPath.append(path).append(name).push_back(sep);
            created(pathNames_)->Add(std::move(subPath), key(keyText, queueLength));
            events_.doEvents();
        }

        path = created(pathNames_)->Text(scanPosition);
        const auto files = std::make_shared<const std::vector<std::wstring>>(
            service().GetFolder(path)->Files());
        folderFiles = files;
        events_.doEvents();
        if (fullFileNamesOnly_) {
            events_.doEvents();
            for (const std::wstring& name : *files) {
                currentFile.assign(name);
                created(fullFileNames_)->Add(path + name, key(keyText, fileCounter));
                increment(fileCounter);
                events_.doEvents();
            }
        } else {
            events_.doEvents();
            for (const std::wstring& name : *files) {
                currentFile.assign(name);
                key(keyText, fileCounter);
                created(fileNames_)->Add(name, keyText);
                created(fullFileNames_)->Add(path + name, keyText);
                created(pathPointers_)->Add(scanPosition, keyText);
                increment(fileCounter);
                events_.doEvents();
            }
        }
        events_.doEvents();
        increment(scanPosition);
    }
}

void pathLogger::Terminate() {
    events_.doEvents();
    fileSystem.reset();
    folderFiles.reset();
    currentFile.clear();
    subFolders.reset();
    currentSubFolder.clear();
    fileNames_.reset();
    pathNames_.reset();
    pathPointers_.reset();
    fullFileNames_.reset();
}

CollectionRef pathLogger::fileNames() { return created(fileNames_); }
CollectionRef pathLogger::pathNames() { return created(pathNames_); }
CollectionRef pathLogger::pathPointers() { return created(pathPointers_); }
CollectionRef pathLogger::fullFileNames() { return created(fullFileNames_); }

}  // namespace pelorin::scan
