// FolderScanner: walks a folder tree breadth-first from one root and records
// the folders it visits and, for every file, its bare name, its full path and
// the position of its folder. It takes whatever the file-system service
// lists, in the order listed: no sorting, no filtering.
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

    FileSystemFactory makeFileSystem_;
    EventPump& events_;

    std::unique_ptr<FileSystem> fileSystem;
    using NameList = std::shared_ptr<const std::vector<std::wstring>>;
    NameList folderFiles;  // the file list of the folder being scanned
    std::wstring currentFile;
    NameList subFolders;  // its subfolder list
    std::wstring currentSubFolder;
    std::int32_t fileCounter = 0;
    CollectionRef fileNames_;
    CollectionRef fileFolderIndexes_;
    CollectionRef folderPaths_;
    CollectionRef filePaths_;
    bool filesOnly_ = false;
};

}  // namespace pelorin::scan
