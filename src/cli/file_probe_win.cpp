#include "cli/file_probe_win.h"

#include <windows.h>

#include "base/handles_win.h"
#include "base/path_win.h"
#include "pst/attach_step.h"
#include "pst/file_facts_win.h"

namespace pelorin::cli {

namespace {

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
    explicit Win32FileProbe(std::vector<std::wstring> oneDrive) {
        places_.oneDriveFolders = std::move(oneDrive);
    }

    FileFacts facts(const std::wstring& path) override {
        return pst::readFileFacts(path, places_);
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

    bool samePath(const std::wstring& a, const std::wstring& b) override {
        return pst::sameFile(a, b);
    }
    std::wstring fileKey(const std::wstring& path) override { return pst::fileKey(path); }
    std::wstring fullPath(const std::wstring& path) override { return pelorin::fullPath(path); }

private:
    pst::FilePlaces places_;  // learnt once a run
};

}  // namespace

std::unique_ptr<FileProbe> makeWin32FileProbe(const VariableLookup& variables) {
    return std::make_unique<Win32FileProbe>(oneDriveFolders(variables));
}

}  // namespace pelorin::cli
