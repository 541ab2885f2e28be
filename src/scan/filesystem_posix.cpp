// The file-system service on POSIX systems, for the native tests and the
// benchmark. The separator is "/". File names are bytes here; they become
// wide text as UTF-8, and every byte that is not part of valid UTF-8 becomes
// the code point U+DC00 + byte, so any name survives the round trip back to
// bytes unchanged.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
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

// Owns the descriptor of an open folder.
class FolderDescriptor {
public:
    explicit FolderDescriptor(int fd) : fd_(fd) {}
    ~FolderDescriptor() { close(fd_); }
    FolderDescriptor(const FolderDescriptor&) = delete;
    FolderDescriptor& operator=(const FolderDescriptor&) = delete;

private:
    int fd_;
};

// How much of a folder one getdents64 call reads: most folders fit in one
// call (plus the call that finds nothing more).
constexpr std::size_t kEntryBufferBytes = 32 * 1024;

// Sorts one entry into the listing's subfolders or files. A link that leads
// to a folder goes nowhere (it could lead back up the tree); a link to a
// file, or one that leads nowhere, is a file. Entries gone meanwhile are
// skipped.
void sortEntry(int fd, const char* name, unsigned char type, FolderListing& listing) {
    if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) return;
    if (type == DT_UNKNOWN) {
        struct stat st;
        if (fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return;
        type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_REG;
    }
    if (type == DT_LNK) {
        struct stat st;
        if (fstatat(fd, name, &st, 0) == 0 && S_ISDIR(st.st_mode)) return;
    }
    (type == DT_DIR ? listing.subFolders : listing.files).push_back(fromUtf8(name));
}

}  // namespace

// The folder is read with getdents64 straight into one buffer: opendir would
// add an fstat and an allocation per folder, and on a big local tree the
// listing is mostly these system calls.
FolderListing listPlatformFolder(const std::wstring& path) {
    const std::string bytes = toUtf8(path);
    const int fd = open(bytes.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) raiseListingError(errno);
    const FolderDescriptor folder(fd);
    alignas(dirent64) char buffer[kEntryBufferBytes];
    FolderListing listing;
    for (;;) {
        const ssize_t read = getdents64(fd, buffer, sizeof buffer);
        if (read < 0) raiseListingError(errno);
        if (read == 0) break;
        for (ssize_t at = 0; at < read;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
            sortEntry(fd, entry->d_name, entry->d_type, listing);
            at += entry->d_reclen;
        }
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
