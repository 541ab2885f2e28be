// The file-system service on POSIX systems, for the native tests and the
// benchmark. The separator is "/". File names are bytes here; they become
// wide text as UTF-8, and every byte that is not part of valid UTF-8 becomes
// the code point U+DC00 + byte, so any name survives the round trip back to
// bytes unchanged.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "scan/filesystem.h"
#include "scan/folder_listing.h"
#include "base/error.h"
#include "base/text.h"

namespace pelorin::scan {

namespace {

[[noreturn]] void raiseListingError(int err) {
    if (err == EACCES || err == EPERM) throw Error(kErrPermission, L"Permission denied");
    throw Error(kErrPathNotFound, L"Path not found");
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

FolderListing listPlatformFolder(const std::wstring& path) {
    const std::string bytes = toUtf8(path);
    std::unique_ptr<DIR, DirCloser> dir(opendir(bytes.c_str()));
    if (!dir) raiseListingError(errno);
    const int fd = dirfd(dir.get());
    FolderListing listing;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (!entry) {
            if (errno != 0) raiseListingError(errno);
            break;
        }
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN) {
            struct stat st;
            if (fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;  // gone meanwhile
            type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_REG;
        }
        if (type == DT_LNK) {
            // A link that leads to a folder is not followed (it could lead
            // back up the tree) and is listed as nothing; a link to a file,
            // or one that leads nowhere, is listed as a file.
            struct stat st;
            if (fstatat(fd, name, &st, 0) == 0 && S_ISDIR(st.st_mode)) continue;
        }
        const bool folder = type == DT_DIR;
        (folder ? listing.subFolders : listing.files).push_back(fromUtf8(name));
    }
    return listing;
}

namespace {

class PosixFileSystem final : public CachedFileSystem {
public:
    using CachedFileSystem::CachedFileSystem;

    wchar_t separator() const override { return L'/'; }

    bool folderExists(const std::wstring& path) override {
        if (path.empty()) return false;
        struct stat st;
        return stat(toUtf8(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    std::int64_t fileLength(const std::wstring& path) override {
        struct stat st;
        if (path.empty() || stat(toUtf8(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode))
            throw Error(kErrFileNotFound, L"File not found");
        return static_cast<std::int64_t>(st.st_size);
    }
};

}  // namespace

std::unique_ptr<FileSystem> makePlatformFileSystem() {
    return std::make_unique<PosixFileSystem>(ListingSetup{});
}

std::unique_ptr<FileSystem> makeListingFileSystem(ListingSetup setup) {
    return std::make_unique<PosixFileSystem>(std::move(setup));
}

}  // namespace pelorin::scan
