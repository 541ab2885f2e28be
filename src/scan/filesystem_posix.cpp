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

#include "scan/filesystem.h"
#include "scan/folder_listing.h"
#include "base/error.h"

namespace pelorin::scan {

std::wstring fromBytes(const char* bytes, std::size_t size) {
    std::wstring out;
    out.reserve(size);
    const auto* s = reinterpret_cast<const unsigned char*>(bytes);
    std::size_t i = 0;
    while (i < size) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            out.push_back(static_cast<wchar_t>(b));
            ++i;
            continue;
        }
        int extra = 0;
        char32_t cp = 0, min = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1; cp = b & 0x1F; min = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2; cp = b & 0x0F; min = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3; cp = b & 0x07; min = 0x10000;
        }
        bool valid = extra > 0 && i + static_cast<std::size_t>(extra) < size;
        if (valid) {
            for (int k = 1; k <= extra; ++k) {
                const unsigned char c = s[i + k];
                if ((c & 0xC0) != 0x80) { valid = false; break; }
                cp = (cp << 6) | (c & 0x3F);
            }
        }
        if (valid && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) valid = false;
        if (valid) {
            out.push_back(static_cast<wchar_t>(cp));
            i += static_cast<std::size_t>(extra) + 1;
        } else {
            out.push_back(static_cast<wchar_t>(0xDC00 + b));
            ++i;
        }
    }
    return out;
}

std::string toBytes(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (const wchar_t wc : text) {
        const auto cp = static_cast<std::uint32_t>(wc);
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp >= 0xDC80 && cp <= 0xDCFF) {
            out.push_back(static_cast<char>(cp - 0xDC00));  // an escaped byte
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | ((cp >> 18) & 0x07)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

namespace {

[[noreturn]] void raiseListingError(int err) {
    if (err == EACCES || err == EPERM) throw Error(kErrPermission, L"Permission denied");
    throw Error(kErrPathNotFound, L"Path not found");
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

FolderListing listFolder(const std::wstring& path) {
    const std::string bytes = toBytes(path);
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
        (folder ? listing.subFolders : listing.files).push_back(fromBytes(name, std::strlen(name)));
    }
    return listing;
}

class PosixFileSystem final : public FileSystem {
public:
    wchar_t separator() const override { return L'/'; }

    bool folderExists(const std::wstring& path) override {
        if (path.empty()) return false;
        struct stat st;
        return stat(toBytes(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    std::unique_ptr<Folder> openFolder(const std::wstring& path) override {
        return cache_.open(path, listFolder);
    }

    std::int64_t fileLength(const std::wstring& path) override {
        struct stat st;
        if (path.empty() || stat(toBytes(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode))
            throw Error(kErrFileNotFound, L"File not found");
        return static_cast<std::int64_t>(st.st_size);
    }

private:
    ListingCache cache_;
};

}  // namespace

std::unique_ptr<FileSystem> makePlatformFileSystem() { return std::make_unique<PosixFileSystem>(); }

}  // namespace pelorin::scan
