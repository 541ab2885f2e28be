// FolderScanner: walks a folder tree breadth-first from one root and records
// the folders it visits and, for every file, its bare name, its full path and
// the position of its folder. It takes whatever the file-system service
// lists, in the order listed: no sorting, no filtering. The service may list
// the queued folders ahead on worker threads; the walk still takes them in
// its own order and processes events while it waits for one.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "scan/collection.h"
#include "scan/filesystem.h"
#include "base/event_pump.h"

namespace pelorin::scan {

class FolderScanner {
public:
    FolderScanner(FileSystemFactory makeFileSystem, EventPump& events);

    // Takes a fresh file-system service, sets filesOnly and drops
    // the collections, so the next scan starts empty.
    void reset();
    // Scans the tree under root. A missing root records nothing; any
    // other failure ends the scan with what was recorded so far kept.
    void scan(const std::wstring& root);
    // The number the next recorded file would get: files + 1 after a scan.
    std::int32_t count() const { return fileCounter; }
    // Drops every object the scanner holds; collections a caller still
    // holds live on.
    void release();

    void filesOnly(bool value) { filesOnly_ = value; }
    bool filesOnly() const { return filesOnly_; }

    // The scanner's own collections (created empty when absent), not copies.
    CollectionRef fileNames();
    CollectionRef folderPaths();
    CollectionRef fileFolderIndexes();
    CollectionRef filePaths();

private:
    std::wstring withSeparator(const std::wstring& fullPath) const;
    wchar_t separator() const;
    FileSystem& service();
    std::unique_ptr<Folder> openListed(const std::wstring& path);
    void queueSubFolders(const std::wstring& path, std::int32_t& queueLength);
    void nameFoldersAhead(std::int32_t scanPosition, std::int32_t queueLength);
    void recordFiles(const std::wstring& path, std::int32_t scanPosition);

    FileSystemFactory makeFileSystem_;
    EventPump& events_;

    std::unique_ptr<FileSystem> fileSystem;
    std::int32_t fileCounter = 0;
    std::int32_t namedAhead_ = 0;  // the last queue position named to listAhead
    CollectionRef fileNames_;
    CollectionRef fileFolderIndexes_;
    CollectionRef folderPaths_;
    CollectionRef filePaths_;
    bool filesOnly_ = false;
};

}  // namespace pelorin::scan
