// list-peek "<window caption>": prints the rows of the list view in another
// program's window, one a line in UTF-8: "[x] text | sub-item 1 | sub-item 2".
// list-peek /message "<title>": prints the text of a message box.
// The demo uses it to show the status column the attach run wrote and the
// message it ended with. The list texts are read through a buffer placed in
// the other process, as a list view only answers into its own address space.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "base/handles_win.h"
#include "base/text.h"

namespace {

void print(const std::wstring& text) {
    const std::string bytes = pelorin::toUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

class Remote {
public:
    Remote(HANDLE process, SIZE_T size)
        : process_(process),
          base_(
              ::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~Remote() {
        if (base_) ::VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
    }
    Remote(const Remote&) = delete;
    Remote& operator=(const Remote&) = delete;
    explicit operator bool() const { return base_ != nullptr; }
    char* at(SIZE_T offset) const { return static_cast<char*>(base_) + offset; }

private:
    HANDLE process_;
    void* base_;
};

}  // namespace

BOOL CALLBACK printStatic(HWND child, LPARAM) {
    wchar_t name[32] = {};
    ::GetClassNameW(child, name, 32);
    if (::lstrcmpiW(name, L"Static") != 0) return TRUE;
    wchar_t text[1024] = {};
    if (::GetWindowTextW(child, text, 1024) > 0) print(std::wstring(text) + L"\n");
    return TRUE;
}

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring(argv[1]) == L"/message") {
        HWND box = ::FindWindowW(L"#32770", argv[2]);
        if (!box) {
            std::fputs("list-peek: no such message box\n", stderr);
            return 1;
        }
        ::EnumChildWindows(box, printStatic, 0);
        return 0;
    }
    if (argc != 2) {
        std::fputs("usage: list-peek \"<window caption>\"\n", stderr);
        return 2;
    }
    HWND window = ::FindWindowW(nullptr, argv[1]);
    HWND list = window ? ::FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
    if (!list) {
        std::fputs("list-peek: no such window or no list view in it\n", stderr);
        return 1;
    }
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    const pelorin::UniqueKernelHandle owner(
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    if (!owner) return 1;
    const HANDLE process = owner.get();

    constexpr int kChars = 2048;
    const SIZE_T textOffset = sizeof(LVITEMW);
    Remote remote(process, textOffset + kChars * sizeof(wchar_t));
    if (!remote) return 1;

    const int rows = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        const UINT state =
            static_cast<UINT>(::SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
        std::wstring line = (state >> 12) == 2 ? L"[x]" : L"[ ]";
        for (int column = 0; column < 3; ++column) {
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = reinterpret_cast<LPWSTR>(remote.at(textOffset));
            item.cchTextMax = kChars;
            wchar_t text[kChars] = {};
            SIZE_T done = 0;
            if (!::WriteProcessMemory(process, remote.at(0), &item, sizeof item, &done)) break;
            ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote.at(0)));
            ::ReadProcessMemory(process, remote.at(textOffset), text, sizeof text - sizeof(wchar_t),
                                &done);
            line += (column == 0 ? L" " : L" | ") + std::wstring(text);
        }
        print(line + L"\n");
    }
    return 0;
}
