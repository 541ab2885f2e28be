// The file-system service the scanner and the add operations need: folder
// existence, folder listings and file lengths. Implementations: Win32
// (filesystem_win.cpp) and POSIX (filesystem_posix.cpp, for native tests and
// the benchmark). Failures raise pelorin::Error.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pelorin::scan {

// One folder, opened by path. The listings are taken in the order the file
// system gives them; links and junctions that stand for another folder are
// never listed as subfolders, so a scan of any real tree ends.
class Folder {
public:
    virtual ~Folder() = default;
    virtual std::vector<std::wstring> subFolders() = 0;  // names only
    virtual std::vector<std::wstring> files() = 0;       // names only
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual wchar_t separator() const = 0;  // '\\' on Windows, '/' on POSIX
    virtual bool folderExists(const std::wstring& path) = 0;  // never raises
    virtual std::unique_ptr<Folder> openFolder(const std::wstring& path) = 0;
    // Length in bytes of the file at the path (64-bit: PSTs reach 50 GB).
    virtual std::int64_t fileLength(const std::wstring& path) = 0;
};

using FileSystemFactory = std::function<std::unique_ptr<FileSystem>()>;

// The platform's own service: Win32 on Windows, POSIX elsewhere.
std::unique_ptr<FileSystem> makePlatformFileSystem();

}  // namespace pelorin::scan
