// pathLogger: walks a folder tree breadth-first from one root and records
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
#include "ui/toolkit.h"

namespace pelorin::scan {

class pathLogger {
public:
    pathLogger(FileSystemFactory makeFileSystem, ui::EventPump& events);

    // Takes a fresh file-system service, sets fullFileNamesOnly and drops
    // the collections, so the next scan starts empty.
    void PathLogInit();
    // Scans the tree under strPARENT. A missing root records nothing; any
    // other failure ends the scan with what was recorded so far kept.
    void LogPath(const std::wstring& strPARENT);
    // The number the next recorded file would get: files + 1 after a scan.
    std::int32_t Count() const { return fileCounter; }
    // Drops every object the scanner holds; collections a caller still
    // holds live on.
    void Terminate();

    void fullFileNamesOnly(bool value) { fullFileNamesOnly_ = value; }
    bool fullFileNamesOnly() const { return fullFileNamesOnly_; }

    // The scanner's own collections (created empty when absent), not copies.
    CollectionRef fileNames();
    CollectionRef pathNames();
    CollectionRef pathPointers();
    CollectionRef fullFileNames();

private:
    std::wstring WithBackslash(const std::wstring& fullPath) const;
    wchar_t separator() const;
    FileSystem& service();

    FileSystemFactory makeFileSystem_;
    ui::EventPump& events_;

    std::unique_ptr<FileSystem> fileSystem;
    using NameList = std::shared_ptr<const std::vector<std::wstring>>;
    NameList folderFiles;  // the file list of the folder being scanned
    std::wstring currentFile;
    NameList subFolders;  // its subfolder list
    std::wstring currentSubFolder;
    std::int32_t fileCounter = 0;
    CollectionRef fileNames_;
    CollectionRef pathPointers_;
    CollectionRef pathNames_;
    CollectionRef fullFileNames_;
    bool fullFileNamesOnly_ = false;
};

}  // namespace pelorin::scan
