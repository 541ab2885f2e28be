// The shell helpers on Win32: IFileOpenDialog, SHBrowseForFolderW and
// ShellExecuteW, wide texts throughout, so no path passes through an ANSI
// code page.
#include <windows.h>
#include <shlobj.h>
#include <shellapi.h>
#include <wrl/client.h>

#include <optional>

#include "base/handles_win.h"
#include "shell/folder_picker_win.h"
#include "shell/shell.h"

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

// A typed path that names no folder: say so and keep the picker open, rather
// than return the tree's selection in its place.
int refuseTypedPath(HWND dialog, LPARAM typed) {
    wchar_t caption[256]{};
    GetWindowTextW(dialog, caption, 256);
    const std::wstring text = std::wstring(L"\"") + reinterpret_cast<const wchar_t*>(typed) +
                              L"\" is not a folder. Type the path of an existing folder, or "
                              L"choose one in the list.";
    MessageBoxW(dialog, text.c_str(), caption, MB_OK | MB_ICONEXCLAMATION);
    return 1;
}

constexpr UINT kClassicFlags =
    BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_VALIDATE | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;

int CALLBACK selectAndAccept(HWND dialog, UINT message, LPARAM param, LPARAM data) {
    auto* want = reinterpret_cast<Preselection*>(data);
    if (message == BFFM_VALIDATEFAILEDW) return refuseTypedPath(dialog, param);
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

int CALLBACK classicCallback(HWND dialog, UINT message, LPARAM param, LPARAM data) {
    const auto* state = reinterpret_cast<ClassicState*>(data);
    if (message == BFFM_INITIALIZED && !state->startIn.empty())
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                     reinterpret_cast<LPARAM>(state->startIn.c_str()));
    if (message == BFFM_VALIDATEFAILEDW) return refuseTypedPath(dialog, param);
    return 0;
}

std::optional<std::wstring> browseFolderModern(void* owner, const std::wstring& title,
                                               const std::wstring& startIn) {
    using Microsoft::WRL::ComPtr;
    try {
        ComPtr<IFileOpenDialog> dialog;
        if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&dialog))))
            return std::nullopt;  // not offered: the classic picker
        FILEOPENDIALOGOPTIONS options = 0;
        dialog->GetOptions(&options);
        dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST |
                           FOS_NOCHANGEDIR);
        dialog->SetTitle(title.c_str());
        ComPtr<IShellItem> start;
        if (!startIn.empty() &&
            SUCCEEDED(SHCreateItemFromParsingName(startIn.c_str(), nullptr, IID_PPV_ARGS(&start))))
            dialog->SetFolder(start.Get());
        if (FAILED(dialog->Show(static_cast<HWND>(owner)))) return std::wstring();  // cancelled
        ComPtr<IShellItem> chosen;
        PWSTR raw = nullptr;
        if (FAILED(dialog->GetResult(&chosen)) ||
            FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &raw)))
            return std::wstring();
        UniqueCoTaskMem<wchar_t> name(raw);
        return std::wstring(name.get());
    } catch (...) {
        return std::wstring();
    }
}

std::wstring browseFolderSelecting(void* owner, const std::wstring& title,
                                   const std::wstring& preselect, const std::wstring& startIn) {
    try {
        const std::wstring titleCopy = title;  // stays valid until the picker returns
        BROWSEINFOW info{};
        info.hwndOwner = static_cast<HWND>(owner);
        info.lpszTitle = titleCopy.c_str();
        info.ulFlags = kClassicFlags;
        Preselection want{preselect};
        ClassicState state{startIn};
        if (!preselect.empty()) {
            info.lpfn = selectAndAccept;
            info.lParam = reinterpret_cast<LPARAM>(&want);
        } else {
            info.lpfn = classicCallback;
            info.lParam = reinterpret_cast<LPARAM>(&state);
        }
        UniquePidl pidl(SHBrowseForFolderW(&info));
        if (!pidl) return {};
        return fileSystemPath(pidl.get());
    } catch (...) {
        return {};
    }
}

}  // namespace detail

std::wstring browseFolder(void* owner, const std::wstring& title, const std::wstring& startIn,
                          FolderDialogKind kind) {
    if (kind == FolderDialogKind::Modern) {
        if (auto chosen = detail::browseFolderModern(owner, title, startIn)) return *chosen;
    }
    return detail::browseFolderSelecting(owner, title, {}, startIn);
}

std::wstring FolderPicker::pick(void* owner, const std::wstring& title) {
    std::wstring chosen = browseFolder(owner, title, last_, kind_);
    if (!chosen.empty()) last_ = chosen;
    return chosen;
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
