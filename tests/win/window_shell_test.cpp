// The shell's folder picker: a cancel gives an empty text, and a chosen
// folder comes back exactly, whatever its characters.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

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

}  // namespace
}  // namespace pelorin::test
