#include "logon.h"

#include <windows.h>

#include <vector>

#include "settings.h"

namespace standin {

namespace {

// MAPI_E_LOGON_FAILED
constexpr HRESULT kLogonFailed = static_cast<HRESULT>(0x80040111);

std::vector<ProfileEntry> profiles() {
    std::vector<ProfileEntry> entries = profileEntries();
    if (entries.empty()) entries.push_back({L"Outlook", false});
    return entries;
}

// Empty while no session is open.
std::wstring& openProfile() {
    static std::wstring open = [] {
        for (const ProfileEntry& entry : profileEntries())
            if (entry.running) return entry.name;
        return std::wstring();
    }();
    return open;
}

// Outlook's profile dialog waits for the user to pick one.
void waitInProfileDialog() {
    ::MessageBoxW(nullptr, L"Choose the profile to open.", L"Outlook stand-in: Choose Profile",
                  MB_OK | MB_ICONQUESTION);
}

}  // namespace

std::wstring defaultProfileName() { return profiles().front().name; }

HRESULT logon(const Args& args) {
    std::wstring name;
    bool showDialog = false;
    HRESULT hr = args.atMost(4);
    if (SUCCEEDED(hr) && args.given(0)) hr = args.text(0, name);
    if (SUCCEEDED(hr) && args.given(2)) hr = args.boolean(2, showDialog);
    if (FAILED(hr)) return hr;
    logCall(L"Logon " + name);
    if (!openProfile().empty()) return S_OK;
    if (showDialog) waitInProfileDialog();
    if (name.empty()) name = defaultProfileName();
    for (const ProfileEntry& entry : profiles()) {
        if (::CompareStringOrdinal(entry.name.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL) {
            openProfile() = entry.name;
            return S_OK;
        }
    }
    throw Refusal{kLogonFailed, L"The profile " + name + L" was not found."};
}

std::wstring sessionProfile() {
    if (openProfile().empty()) openProfile() = defaultProfileName();
    return openProfile();
}

}  // namespace standin
