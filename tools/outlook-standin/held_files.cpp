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

void hold(const std::wstring& path) {
    auto& files = heldFiles();
    std::wstring key = keyOf(path);
    if (files.count(key) || !refusalFor(path).empty()) return;
    pelorin::UniqueFile file(::CreateFileW(pelorin::longPath(path).c_str(),
                                           GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
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
