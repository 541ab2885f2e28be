#include "cli/file_probe_win.h"

#include <windows.h>

#include "base/handles_win.h"
#include "base/path_win.h"
#include "outlook/pst_header.h"

namespace pelorin::cli {

namespace {

// Attributes a cloud provider (OneDrive among them) sets on the files it
// keeps: pinned, unpinned (online only) and recalled on access.
constexpr DWORD kCloudAttributes = 0x00080000 | 0x00100000 | 0x00400000;

UniqueFile openFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    return UniqueFile(::CreateFileW(longPath(path).c_str(), access, share, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool onNetwork(const std::wstring& path) {
    const std::wstring full = fullPath(path);
    if (full.rfind(L"\\\\?\\UNC\\", 0) == 0) return true;
    if (full.rfind(L"\\\\?\\", 0) == 0 || full.rfind(L"\\\\.\\", 0) == 0)
        return full.size() > 6 && full[5] == L':' &&
               ::GetDriveTypeW((full.substr(4, 2) + L"\\").c_str()) == DRIVE_REMOTE;
    if (full.rfind(L"\\\\", 0) == 0) return true;
    return full.size() >= 2 && full[1] == L':' &&
           ::GetDriveTypeW((full.substr(0, 2) + L"\\").c_str()) == DRIVE_REMOTE;
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

// The folders OneDrive keeps in sync for this user: the OneDrive,
// OneDriveCommercial and OneDriveConsumer variables and each account's
// UserFolder under HKCU\Software\Microsoft\OneDrive\Accounts.
std::vector<std::wstring> oneDriveFolders(const VariableLookup& variables) {
    std::vector<std::wstring> folders;
    for (const wchar_t* name : {L"OneDrive", L"OneDriveCommercial", L"OneDriveConsumer"})
        if (const auto value = variables(name); value && !value->empty()) folders.push_back(*value);
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\OneDrive\\Accounts", 0, KEY_READ,
                        &raw) != ERROR_SUCCESS)
        return folders;
    const UniqueRegKey accounts(raw);
    wchar_t account[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (::RegEnumKeyExW(accounts.get(), i, account, &length, nullptr, nullptr, nullptr,
                            nullptr) != ERROR_SUCCESS)
            break;
        wchar_t folder[MAX_PATH * 4];
        DWORD bytes = sizeof folder;
        if (::RegGetValueW(accounts.get(), account, L"UserFolder", RRF_RT_REG_SZ, nullptr, folder,
                           &bytes) == ERROR_SUCCESS)
            folders.emplace_back(folder);
    }
    return folders;
}

class Win32FileProbe final : public FileProbe {
public:
    explicit Win32FileProbe(std::vector<std::wstring> oneDrive) : oneDrive_(std::move(oneDrive)) {}

    FileFacts facts(const std::wstring& path) override {
        FileFacts facts;
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (path.empty() ||
            !::GetFileAttributesExW(longPath(path).c_str(), GetFileExInfoStandard, &data) ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return facts;
        facts.exists = true;
        facts.size = static_cast<std::int64_t>(
            (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
        facts.readOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
        facts.network = onNetwork(path);
        facts.oneDrive = inOneDrive(path, data.dwFileAttributes, oneDrive_);
        readHead(path, facts);
        return facts;
    }

    std::optional<std::string> readAll(const std::wstring& path) override {
        const UniqueFile file = openFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
        if (!file) return std::nullopt;
        // A read error part-way is no shorter list; past the list limit the
        // rest is not read (the caller refuses it).
        std::string bytes;
        char buffer[65536];
        for (DWORD got = 1; got > 0 && bytes.size() <= kListFileLimit;) {
            if (!::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
            bytes.append(buffer, got);
        }
        return bytes;
    }

    bool writeAll(const std::wstring& path, const std::string& bytes) override {
        const UniqueFile file = openFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
        DWORD written = 0;
        return file &&
               ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                           nullptr) &&
               written == bytes.size();
    }

    bool samePath(const std::wstring& a, const std::wstring& b) override {
        return pelorin::samePath(a, b);
    }
    std::wstring fullPath(const std::wstring& path) override { return pelorin::fullPath(path); }

private:
    const std::vector<std::wstring> oneDrive_;  // read once a run
};

}  // namespace

std::unique_ptr<FileProbe> makeWin32FileProbe(const VariableLookup& variables) {
    return std::make_unique<Win32FileProbe>(oneDriveFolders(variables));
}

}  // namespace pelorin::cli
