#include "ui/file_dialog_win.h"

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "base/error.h"

namespace pelorin::ui {

namespace {

// Room for the selection text, in characters. Some implementations write a
// long multiple selection past the end of a small buffer instead of failing,
// and a user who picks a few hundred PSTs needs tens of thousands of
// characters anyway.
constexpr size_t kBufferChars = size_t{1} << 20;

std::wstring currentDirectory() {
    std::wstring folder(MAX_PATH, L'\0');
    DWORD size = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
    if (size >= folder.size()) {
        folder.resize(size);
        size = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
    }
    folder.resize(size < folder.size() ? size : 0);
    return folder;
}

}  // namespace

std::wstring Win32FileDialog::filterForDialog(const std::wstring& filter) {
    std::wstring out = filter;
    for (auto& ch : out)
        if (ch == L'|') ch = L'\0';
    out.push_back(L'\0');
    out.push_back(L'\0');
    return out;
}

std::wstring Win32FileDialog::selectionFromBuffer(const wchar_t* buffer, size_t size) {
    size_t end = 0;
    while (end < size && !(buffer[end] == L'\0' && (end + 1 >= size || buffer[end + 1] == L'\0')))
        ++end;
    return std::wstring(buffer, end);
}

void Win32FileDialog::showOpen() {
    std::vector<wchar_t> buffer(kBufferChars, L'\0');
    fileName_.copy(buffer.data(), std::min(fileName_.size(), buffer.size() - 2));
    const std::wstring filter = filterForDialog(filter_);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = filter_.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 0;
    ofn.lpstrFile = buffer.data();
    // Leave the last two characters as NULs whatever the dialog writes.
    ofn.nMaxFile = static_cast<DWORD>(buffer.size() - 2);
    ofn.lpstrTitle = kFileDialogTitle;
    // The "Open as read-only" box does nothing here: it is never shown.
    ofn.Flags = flags_ | OFN_HIDEREADONLY;

    // The dialog makes the folder the user browsed to the process's current
    // folder; that would hold a USB stick or a share open while Pelorin runs.
    const std::wstring currentFolder = currentDirectory();
    const BOOL chosen = GetOpenFileNameW(&ofn);
    if (!currentFolder.empty()) SetCurrentDirectoryW(currentFolder.c_str());
    if (chosen) {
        fileName_ = selectionFromBuffer(buffer.data(), buffer.size());
        return;
    }
    fileName_.clear();
    const DWORD error = CommDlgExtendedError();
    if (error == 0) return;  // cancelled
    if (error == FNERR_BUFFERTOOSMALL) {
        // A selection of more than a million characters: tell the user and
        // treat it as no choice, rather than add part of it.
        if (dialogs_)
            dialogs_().messageBox(
                L"Too many files were selected at once. Please select fewer files.",
                Icon::Information);
        return;
    }
    wchar_t code[16];
    swprintf(code, 16, L"0x%04lX", static_cast<unsigned long>(error));
    throw Error(kErrAutomation, std::wstring(L"The open-file dialog failed (error ") + code + L").",
                static_cast<std::int32_t>(error));
}

}  // namespace pelorin::ui
