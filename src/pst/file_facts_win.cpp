#include "pst/file_facts_win.h"

#include <windows.h>

#include "base/handles_win.h"
#include "base/path_win.h"
#include "outlook/pst_header.h"

namespace pelorin::pst {

namespace {

// Attributes a cloud provider (OneDrive among them) sets on the files it
// keeps: pinned, unpinned (online only) and recalled on access.
constexpr DWORD kCloudAttributes = 0x00080000 | 0x00100000 | 0x00400000;

bool remoteDrive(wchar_t letter, FilePlaces& places) {
    const wchar_t upper = letter >= L'a' && letter <= L'z' ? letter - L'a' + L'A' : letter;
    if (upper < L'A' || upper > L'Z') return false;
    unsigned& type = places.driveTypes[upper - L'A'];
    if (type == DRIVE_UNKNOWN) type = ::GetDriveTypeW((std::wstring(1, upper) + L":\\").c_str());
    return type == DRIVE_REMOTE;
}

bool onNetwork(const std::wstring& path, FilePlaces& places) {
    const std::wstring full = fullPath(path);
    if (full.rfind(L"\\\\?\\UNC\\", 0) == 0) return true;
    if (full.rfind(L"\\\\?\\", 0) == 0 || full.rfind(L"\\\\.\\", 0) == 0)
        return full.size() > 6 && full[5] == L':' && remoteDrive(full[4], places);
    if (full.rfind(L"\\\\", 0) == 0) return true;
    return full.size() >= 2 && full[1] == L':' && remoteDrive(full[0], places);
}

bool inOneDrive(const std::wstring& path, DWORD attributes,
                const std::vector<std::wstring>& folders) {
    if (attributes & kCloudAttributes) return true;
    const std::wstring full = fullPath(path);
    for (const std::wstring& folder : folders)
        if (insideFolder(full, folder)) return true;
    return false;
}

void readHead(const std::wstring& path, FileFacts& facts) {
    // Exclusive first: a sharing violation means another process has it open.
    UniqueFile file = openFile(path, GENERIC_READ, 0, OPEN_EXISTING);
    if (!file && ::GetLastError() == ERROR_SHARING_VIOLATION) {
        facts.inUse = true;
        file = openFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        OPEN_EXISTING);
    }
    if (!file) return;
    facts.head.resize(outlook::kPstHeaderBytes);
    DWORD got = 0;
    if (!::ReadFile(file.get(), facts.head.data(), static_cast<DWORD>(facts.head.size()), &got,
                    nullptr))
        return;
    facts.head.resize(got);
    facts.headRead = true;
}

bool isFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Why GetFileAttributesEx found no file. A file counts as not found only
// when its folder answers as a folder: a redirector may say "file not
// found" for a share it cannot reach.
Absence absenceOf(const std::wstring& path, DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND: {
        const std::wstring full = longPath(path);
        const std::size_t slash = full.find_last_of(L"\\/");
        const bool reachable = slash != std::wstring::npos && isFolder(full.substr(0, slash + 1));
        return reachable ? Absence::FileNotFound : Absence::FolderNotFound;
    }
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE: return Absence::FolderNotFound;
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_NETNAME_DELETED:
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_HOST_UNREACHABLE:
    case ERROR_NOT_CONNECTED:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_SEM_TIMEOUT: return Absence::Unreachable;
    case ERROR_ACCESS_DENIED: return Absence::Denied;
    }
    return Absence::Unknown;
}

}  // namespace

FileFacts readFileFacts(const std::wstring& path, FilePlaces& places) {
    FileFacts facts;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty()) return facts;
    if (!::GetFileAttributesExW(longPath(path).c_str(), GetFileExInfoStandard, &data)) {
        facts.absence = absenceOf(path, ::GetLastError());
        return facts;
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        facts.absence = Absence::Folder;
        return facts;
    }
    facts.exists = true;
    facts.size = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) |
                                           data.nFileSizeLow);
    facts.readOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    facts.network = onNetwork(path, places);
    facts.oneDrive = inOneDrive(path, data.dwFileAttributes, places.oneDriveFolders);
    readHead(path, facts);
    return facts;
}

}  // namespace pelorin::pst
