#include "held_files.h"

#include <windows.h>

#include <map>

#include "base/handles_win.h"
#include "base/path_win.h"
#include "profile.h"

namespace standin {

namespace {

// By the path as the profile keeps it, upper-cased.
std::map<std::wstring, pelorin::UniqueFile>& heldFiles() {
    static std::map<std::wstring, pelorin::UniqueFile> files;
    return files;
}

std::wstring keyOf(const std::wstring& path) {
    std::wstring key = path;
    if (!key.empty()) ::CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

bool isPst(HANDLE file) {
    LARGE_INTEGER length{};
    return ::GetFileSizeEx(file, &length) &&
           pstHeaderAccepted(file, static_cast<std::uint64_t>(length.QuadPart));
}

// Opened as Outlook opens a store (a read-only file or a folder fails here),
// and kept only when it is a PST Outlook accepts: one open, so that a logon
// costs one open of each store.
void hold(const std::wstring& path) {
    auto& files = heldFiles();
    std::wstring key = keyOf(path);
    if (files.count(key)) return;
    pelorin::UniqueFile file(::CreateFileW(pelorin::longPath(path).c_str(),
                                           GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || !isPst(file.get())) return;
    OVERLAPPED whole{};
    ::LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                 MAXDWORD, &whole);
    files.emplace(std::move(key), std::move(file));
}

}  // namespace

void holdStoreFiles(const std::vector<std::wstring>& paths) {
    for (const std::wstring& path : paths) hold(path);
}

void releaseStoreFile(const std::wstring& path) { heldFiles().erase(keyOf(path)); }

}  // namespace standin
