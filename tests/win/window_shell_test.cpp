// The shell's folder picker: a cancel gives an empty text, a chosen folder
// comes back exactly, whatever its characters, the classic picker opens
// where the last pick ended and refuses a typed path that names no folder.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "base/handles_win.h"
#include "shell/folder_picker_win.h"
#include "shell/shell.h"

namespace pelorin::test {
namespace {

BOOL CALLBACK findDialog(HWND hwnd, LPARAM out) {
    wchar_t cls[16]{};
    GetClassNameW(hwnd, cls, 16);
    if (std::wstring(cls) != L"#32770" || !IsWindowVisible(hwnd)) return TRUE;
    *reinterpret_cast<HWND*>(out) = hwnd;
    return FALSE;
}

// Presses `button` in the first dialog box that the given thread shows.
class DialogAnswerer {
public:
    DialogAnswerer(DWORD threadId, int button)
        : worker_([this, threadId, button] {
              for (int i = 0; i < 400 && !stop_; ++i) {
                  HWND dialog = nullptr;
                  EnumThreadWindows(threadId, findDialog, reinterpret_cast<LPARAM>(&dialog));
                  if (dialog) {
                      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
                      return;
                  }
                  Sleep(25);
              }
          }) {}
    ~DialogAnswerer() {
        stop_ = true;
        worker_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread worker_;
};

std::wstring tempFolder() {
    wchar_t path[MAX_PATH + 1]{};
    GetTempPathW(MAX_PATH + 1, path);
    std::wstring out = path;
    if (!out.empty() && out.back() == L'\\') out.pop_back();
    return out;
}

// Creates every folder of `path` (given in the \\?\ form).
void makeFolders(const std::wstring& path) {
    for (size_t pos = 7; (pos = path.find(L'\\', pos + 1)) != std::wstring::npos;)
        CreateDirectoryW(path.substr(0, pos).c_str(), nullptr);
    CreateDirectoryW(path.c_str(), nullptr);
}

// The picker needs COM on the calling thread, as the program has it.
class WindowShell : public ::testing::Test {
protected:
    void SetUp() override { com_ = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override {
        if (SUCCEEDED(com_)) CoUninitialize();
    }
    HRESULT com_ = E_FAIL;
};

TEST_F(WindowShell, CancelGivesAnEmptyText) {
    DialogAnswerer answer(GetCurrentThreadId(), IDCANCEL);
    EXPECT_EQ(shell::browseFolder(nullptr, L"Select folder having PST files..."), L"");
}

std::wstring scratchFolder() {
    return tempFolder() + L"\\pelorin-picker-" + std::to_wstring(GetCurrentProcessId());
}

TEST_F(WindowShell, ChosenFolderComesBackInItsOwnCharacters) {
    const std::wstring folder = scratchFolder() + L"\\Почта 日本 Ünï";
    makeFolders(L"\\\\?\\" + folder);
    ASSERT_NE(GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(shell::detail::browseFolderSelecting(nullptr, L"Pick", folder), folder);
}

struct Search {
    HWND besides, found;
};

BOOL CALLBACK otherDialog(HWND w, LPARAM data) {
    auto* s = reinterpret_cast<Search*>(data);
    wchar_t cls[16]{};
    GetClassNameW(w, cls, 16);
    if (w == s->besides || std::wstring(cls) != L"#32770" || !IsWindowVisible(w)) return TRUE;
    s->found = w;
    return FALSE;
}

// The first visible dialog of `thread` other than `besides`, waiting up to
// ten seconds.
HWND dialogOf(DWORD thread, HWND besides = nullptr) {
    Search search{besides, nullptr};
    for (int i = 0; i < 400 && !search.found; ++i) {
        EnumThreadWindows(thread, otherDialog, reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(25);
    }
    return search.found;
}

BOOL CALLBACK visibleEdit(HWND w, LPARAM out) {
    wchar_t cls[16]{};
    GetClassNameW(w, cls, 16);
    if (std::wstring(cls) != L"Edit" || !IsWindowVisible(w)) return TRUE;
    *reinterpret_cast<HWND*>(out) = w;
    return FALSE;
}

HWND firstEdit(HWND dialog) {
    HWND found = nullptr;
    EnumChildWindows(dialog, visibleEdit, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Plays the user in the picker: types `typed` into its path box (nothing
// typed: leaves the box alone) and presses OK. When `refusal` is expected,
// the picker must answer with a message box and stay open; then Cancel.
class PickerDriver {
public:
    PickerDriver(DWORD thread, std::wstring typed, bool refusal)
        : worker_([=, this] {
              HWND picker = dialogOf(thread);
              if (!picker) return;
              Sleep(300);  // let the picker fill its view
              HWND edit = firstEdit(picker);
              if (!typed.empty() && edit)
                  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
              // A typed folder may first be opened (the modern dialog): OK
              // again chooses the folder it shows. Cancel if it stays open.
              for (int press = 0; press < 3 && !refusal && IsWindow(picker); ++press) {
                  PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                               reinterpret_cast<LPARAM>(GetDlgItem(picker, IDOK)));
                  for (int i = 0; i < 40 && IsWindow(picker); ++i) Sleep(25);
              }
              if (!refusal) {
                  if (IsWindow(picker)) PostMessageW(picker, WM_COMMAND, IDCANCEL, 0);
                  return;
              }
              PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                           reinterpret_cast<LPARAM>(GetDlgItem(picker, IDOK)));
              if (HWND box = dialogOf(thread, picker)) {
                  refused_ = IsWindow(picker);
                  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
              }
              Sleep(300);
              PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
          }) {}
    ~PickerDriver() { worker_.join(); }
    std::atomic<bool> refused_{false};

private:
    std::thread worker_;
};

// The modern picker (the classic one is driven through its preselection
// above and below): a typed path chooses its folder. Its start folder is not
// reached: Wine's modern dialog gives nothing for OK alone at its start
// folder, and its classic one ignores the path box.
TEST_F(WindowShell, ModernPickerTakesATypedPath) {
    const std::wstring folder = scratchFolder() + L"\\Mail 2019";
    makeFolders(L"\\\\?\\" + folder);
    const std::wstring typed[] = {folder, folder + L"\\"};
    for (const std::wstring& path : typed) {
        SCOPED_TRACE(path);
        shell::FolderPicker picker(shell::FolderDialogKind::Modern);
        PickerDriver user(GetCurrentThreadId(), path, false);
        EXPECT_EQ(picker.pick(nullptr, L"Select folder having PST files..."), folder);
    }
}

// The name of the folder selected in the classic picker's tree.
std::wstring selectedName(HWND picker) {
    const HWND tree = FindWindowExW(picker, nullptr, WC_TREEVIEWW, nullptr);
    wchar_t name[MAX_PATH]{};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    item.pszText = name;
    item.cchTextMax = MAX_PATH;
    if (item.hItem) SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return L"\\" + std::wstring(name);
}

// The classic picker opens where the last pick ended: the second time, OK
// alone gives the folder chosen the first time.
TEST_F(WindowShell, ClassicPickerOpensWhereTheLastPickEnded) {
    const std::wstring folder = scratchFolder() + L"\\Archive 2020";
    makeFolders(L"\\\\?\\" + folder);
    shell::FolderPicker picker(shell::FolderDialogKind::Classic);
    for (const std::wstring& select : {folder, std::wstring()}) {
        SCOPED_TRACE(select.empty() ? "OK alone" : "folder selected");
        std::thread user([&select, thread = GetCurrentThreadId()] {
            const HWND dialog = dialogOf(thread);
            if (!dialog) return;
            // Wine's tree may not take the first request yet: ask until it shows.
            for (int i = 0; i < 80 && !select.empty() && !select.ends_with(selectedName(dialog));
                 ++i, Sleep(25))
                SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                             reinterpret_cast<LPARAM>(select.c_str()));
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        });
        EXPECT_EQ(picker.pick(nullptr, L"Select folder having PST files..."), folder);
        user.join();
    }
}

// Windows asks the classic picker's callback about a typed path that names
// no folder (Wine's picker never does): the user is told over the picker,
// and the answer 1 keeps the picker open.
TEST_F(WindowShell, ClassicPickerRefusesATypedPathThatNamesNoFolder) {
    const UniqueHwnd dialog(CreateWindowExW(0, L"STATIC", L"Browse For Folder", WS_POPUP, 0, 0, 200,
                                            100, nullptr, nullptr, nullptr, nullptr));
    const std::wstring typed = scratchFolder() + L"\\no such folder", none;
    std::wstring text(512, L'\0'), caption(64, L'\0');
    std::thread user([&, thread = GetCurrentThreadId()] {
        const HWND box = dialogOf(thread);
        if (!box) return;
        text.resize(GetDlgItemTextW(box, 0xFFFF, text.data(), 512));
        caption.resize(GetWindowTextW(box, caption.data(), 64));
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    shell::detail::ClassicState state{none};
    EXPECT_EQ(shell::detail::classicCallback(dialog.get(), BFFM_VALIDATEFAILEDW,
                                             reinterpret_cast<LPARAM>(typed.c_str()),
                                             reinterpret_cast<LPARAM>(&state)),
              1);
    user.join();
    EXPECT_EQ(text, L"\"" + typed +
                        L"\" is not a folder. Type the path of an existing folder, or choose one "
                        L"in the list.");
    EXPECT_EQ(caption, L"Browse For Folder");
}

}  // namespace
}  // namespace pelorin::test
