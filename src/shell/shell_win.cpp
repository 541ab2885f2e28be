// The shell helpers on Win32: SHBrowseForFolderW and ShellExecuteW, wide
// texts throughout, so no path passes through an ANSI code page.
#include <windows.h>
#include <shlobj.h>
#include <shellapi.h>

#include "shell/shell.h"
#include "base/handles_win.h"

namespace pelorin::shell {
namespace {

using UniquePidl = UniqueCoTaskMem<ITEMIDLIST>;

// The file-system path of an item, with no length limit: the shell hands it
// out as task memory. Items without one (Control Panel, a printer) give "".
std::wstring fileSystemPath(PCIDLIST_ABSOLUTE pidl) {
    PWSTR raw = nullptr;
    if (FAILED(SHGetNameFromIDList(pidl, SIGDN_FILESYSPATH, &raw))) return {};
    UniqueCoTaskMem<wchar_t> name(raw);
    return name ? std::wstring(name.get()) : std::wstring();
}

// For tests: select the folder once the picker is up and press OK as soon as
// the selection is that folder. The tree may still be filling when the
// picker says it is ready, and a busy machine may swallow the first request,
// so the selection is asked for again on a timer (a bounded number of times)
// until it sticks; after that the picker is cancelled.
struct Preselection {
    const std::wstring& path;
    int attempts = 0;
};

constexpr wchar_t kPreselectionProp[] = L"pelorin.preselection";

void askAgain(HWND dialog, Preselection* want) {
    if (++want->attempts < 80)
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                     reinterpret_cast<LPARAM>(want->path.c_str()));
    else
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void CALLBACK retrySelection(HWND dialog, UINT, UINT_PTR, DWORD) {
    if (auto* want = static_cast<Preselection*>(GetPropW(dialog, kPreselectionProp)))
        askAgain(dialog, want);
}

int CALLBACK selectAndAccept(HWND dialog, UINT message, LPARAM param, LPARAM data) {
    auto* want = reinterpret_cast<Preselection*>(data);
    if (message == BFFM_INITIALIZED) {
        SetPropW(dialog, kPreselectionProp, want);
        SetTimer(dialog, 1, 250, retrySelection);
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                     reinterpret_cast<LPARAM>(want->path.c_str()));
    } else if (message == BFFM_SELCHANGED &&
               fileSystemPath(reinterpret_cast<PCIDLIST_ABSOLUTE>(param)) == want->path) {
        KillTimer(dialog, 1);
        RemovePropW(dialog, kPreselectionProp);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    return 0;
}

}  // namespace

namespace detail {

std::wstring browseFolderSelecting(void* owner, const std::wstring& title,
                                   const std::wstring& preselect) {
    try {
        const std::wstring titleCopy = title;  // stays valid until the picker returns
        BROWSEINFOW info{};
        info.hwndOwner = static_cast<HWND>(owner);
        info.lpszTitle = titleCopy.c_str();
        info.ulFlags = BIF_RETURNONLYFSDIRS;
        Preselection want{preselect};
        if (!preselect.empty()) {
            info.lpfn = selectAndAccept;
            info.lParam = reinterpret_cast<LPARAM>(&want);
        }
        UniquePidl pidl(SHBrowseForFolderW(&info));
        if (!pidl) return {};
        return fileSystemPath(pidl.get());
    } catch (...) {
        return {};
    }
}

}  // namespace detail

std::wstring browseFolder(void* owner, const std::wstring& title) {
    return detail::browseFolderSelecting(owner, title, {});
}

void showInFolder(const std::wstring& path) {
    if (path.empty()) return;
    const std::wstring args = L"/select,\"" + path + L"\"";
    ShellExecuteW(nullptr, L"open", L"explorer.exe", args.c_str(), nullptr, SW_SHOWNORMAL);
}

void openWebPage(const std::wstring& url) {
    if (url.empty()) return;
    ShellExecuteW(nullptr, L"open", url.c_str(), L"", L"", SW_SHOWNORMAL);
}

}  // namespace pelorin::shell
