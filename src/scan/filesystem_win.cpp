// The file-system service on Windows: W APIs only, paths handed to the API in
// the \\?\ form so that folders deeper than MAX_PATH can be listed and
// measured. A folder is read with one FindFirstFileExW run (basic
// information, large fetch) and split into subfolders and files.
#include <windows.h>

#include <string>
#include <utility>

#include "scan/filesystem.h"
#include "scan/folder_listing.h"
#include "base/error.h"
#include "base/handles_win.h"
#include "base/path_win.h"

namespace pelorin::scan {
namespace {

[[noreturn]] void raiseListingError(DWORD code) {
    if (code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION)
        throw Error(kErrPermission, L"Permission denied", HRESULT_FROM_WIN32(code));
    throw Error(kErrPathNotFound, L"Path not found", HRESULT_FROM_WIN32(code));
}

bool isDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

}  // namespace

FolderListing listPlatformFolder(const std::wstring& path) {
    if (path.empty()) raiseListingError(ERROR_PATH_NOT_FOUND);
    std::wstring pattern = longPath(path);
    if (!pattern.empty() && pattern.back() != L'\\') pattern.push_back(L'\\');
    pattern.push_back(L'*');

    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    FolderListing listing;
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        // A folder with nothing in it at all (a drive root has no "." entry).
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_NO_MORE_FILES) return listing;
        raiseListingError(code);
    }
    const UniqueFindHandle closer(find);
    do {
        if (isDotEntry(data.cFileName)) continue;
        const DWORD attributes = data.dwFileAttributes;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            // Junctions, folder links and mount points stand for another
            // folder, possibly one further up the tree: not descended into.
            // Other reparse points on folders (cloud placeholders and the
            // like) are the folder itself. A listing that gives no tag (Wine
            // shows a Unix link to a folder that way) counts as a link.
            if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                (data.dwReserved0 == 0 || IsReparseTagNameSurrogate(data.dwReserved0)))
                continue;
            listing.subFolders.emplace_back(data.cFileName);
        } else {
            listing.files.emplace_back(data.cFileName);
        }
    } while (FindNextFileW(find, &data));
    const DWORD code = GetLastError();
    if (code != ERROR_NO_MORE_FILES) raiseListingError(code);
    return listing;
}

namespace {

class Win32FileSystem final : public CachedFileSystem {
public:
    using CachedFileSystem::CachedFileSystem;

    wchar_t separator() const override { return L'\\'; }

    bool folderExists(const std::wstring& path) override {
        if (path.empty()) return false;
        const DWORD attributes = GetFileAttributesW(longPath(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    std::int64_t fileLength(const std::wstring& path) override {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (path.empty() ||
            !GetFileAttributesExW(longPath(path).c_str(), GetFileExInfoStandard, &data) ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            throw Error(kErrFileNotFound, L"File not found");
        return static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) |
                                         data.nFileSizeLow);
    }
};

}  // namespace

std::unique_ptr<FileSystem> makePlatformFileSystem() {
    return std::make_unique<Win32FileSystem>(ListingSetup{});
}

std::unique_ptr<FileSystem> makeListingFileSystem(ListingSetup setup) {
    return std::make_unique<Win32FileSystem>(std::move(setup));
}

}  // namespace pelorin::scan
