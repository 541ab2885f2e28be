// The file-system service the scanner and the add operations need: folder
// existence, folder listings and file lengths. Implementations: Win32
// (filesystem_win.cpp) and POSIX (filesystem_posix.cpp, for native tests and
// the benchmark). Failures raise pelorin::Error.
#pragma once
#include <chrono>
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
    virtual wchar_t separator() const = 0;                    // '\\' on Windows, '/' on POSIX
    virtual bool folderExists(const std::wstring& path) = 0;  // never raises
    virtual std::unique_ptr<Folder> openFolder(const std::wstring& path) = 0;
    // A folder the caller will open later, named in the order it will open
    // them: a service may list it ahead, off the caller's thread. A failure
    // to list it is raised by openFolder, as it would have been.
    virtual void listAhead(const std::wstring& path) { (void)path; }
    // Waits up to `wait` for a folder named to listAhead: true when
    // openFolder will not have to wait for it.
    virtual bool listingReady(const std::wstring& path, std::chrono::milliseconds wait) {
        (void)path, (void)wait;
        return true;
    }
    // Length in bytes of the file at the path (64-bit: PSTs reach 50 GB).
    virtual std::int64_t fileLength(const std::wstring& path) = 0;
};

using FileSystemFactory = std::function<std::unique_ptr<FileSystem>()>;

// One folder read once and split into its subfolders and its files.
struct FolderListing {
    std::vector<std::wstring> subFolders;
    std::vector<std::wstring> files;
};
// Lists one folder; called from worker threads, so it shares no state.
using Lister = std::function<FolderListing(const std::wstring& path)>;
FolderListing listPlatformFolder(const std::wstring& path);

// Worker threads that list folders ahead. On a file-server share each
// listing is a network round trip that mostly waits: this many in flight
// turn 1 ms per folder into well under a tenth of that. On a local disk a
// listing keeps a processor busy, and only one worker per further processor
// is started (the scanner's own thread helps); a small tree starts none.
inline constexpr int kListingThreads = 16;
// How far ahead of the folder it is on the scanner names folders to
// listAhead: the listings waiting to be taken stay few, however wide the tree.
inline constexpr int kListAheadFolders = 4 * kListingThreads;

// The platform's own service: Win32 on Windows, POSIX elsewhere, listing
// ahead on kListingThreads workers.
std::unique_ptr<FileSystem> makePlatformFileSystem();
// The same with other settings.
struct ListingSetup {
    int threads = kListingThreads;  // 0: every folder is listed when opened
    Lister list = listPlatformFolder;
};
std::unique_ptr<FileSystem> makeListingFileSystem(ListingSetup setup);

}  // namespace pelorin::scan
