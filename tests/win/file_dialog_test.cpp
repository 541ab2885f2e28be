// The real open-file dialog, driven from a helper thread the way a user
// would: type into the file-name box, press Open or Cancel. The Add File
// handler then runs over the selection text the dialog hands back.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "pstlist/add_files.h"
#include "scan/filesystem.h"
#include "support/temp_tree.h"
#include "base/error.h"
#include "ui/file_dialog_win.h"
#include "ui/forwarding_toolkit.h"
#include "ui/headless_toolkit.h"

namespace pelorin::ui {
namespace {

using Paths = std::vector<std::wstring>;

// Headless controls around the real dialog.
class RealDialogToolkit final : public ForwardingToolkit {
public:
    RealDialogToolkit() : ForwardingToolkit(tk) {}
    FileDialog& fileDialog() override { return dialog; }

    HeadlessToolkit tk;
    Win32FileDialog dialog{nullptr};
};

// Only this process's dialog: ctest runs other test processes with their own
// dialogs on the same display at the same time.
BOOL CALLBACK pickOwnDialog(HWND w, LPARAM out) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    wchar_t cls[16]{}, title[64]{};
    GetClassNameW(w, cls, 16);
    GetWindowTextW(w, title, 64);
    if (pid == GetCurrentProcessId() && IsWindowVisible(w) && std::wstring_view(cls) == L"#32770" &&
        std::wstring_view(title) == kFileDialogTitle) {
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
    }
    return TRUE;
}

HWND ownDialog() {
    HWND found = nullptr;
    EnumWindows(pickOwnDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND findDialog(std::chrono::milliseconds wait) {
    const auto until = std::chrono::steady_clock::now() + wait;
    do {
        if (HWND dlg = ownDialog()) return dlg;
        Sleep(50);
    } while (std::chrono::steady_clock::now() < until);
    return nullptr;
}

// Plays the user: for each text, put it in the file-name box and press Open
// (a folder opens it, names choose them); with no texts, press Cancel. Gives
// up with Cancel when the dialog does not close.
class DialogDriver {
public:
    explicit DialogDriver(Paths texts) : thread_([this, texts] { run(texts); }) {}
    ~DialogDriver() { finish(); }
    void finish() {
        if (thread_.joinable()) thread_.join();
    }
    bool sawDialog() {
        finish();
        return saw_;
    }
    bool closedByItself() {
        finish();
        return closed_;
    }

private:
    void run(const Paths& texts) {
        HWND dlg = findDialog(std::chrono::seconds(20));
        if (!dlg) return;
        saw_ = true;
        Sleep(300);  // let the dialog fill its folder view

        for (const auto& text : texts) {
            // The file-name box: an edit inside an extended combo box here,
            // a plain edit in older dialogs.
            HWND name = GetDlgItem(dlg, cmb13);
            if (HWND edit = reinterpret_cast<HWND>(SendMessageW(name, CBEM_GETEDITCONTROL, 0, 0)))
                name = edit;
            if (!name) name = GetDlgItem(dlg, edt1);
            SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
            Sleep(300);
        }
        if (texts.empty()) {
            PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDCANCEL)));
            closed_ = true;
            return;
        }
        for (int i = 0; i < 100 && IsWindow(dlg); ++i) Sleep(50);
        closed_ = !IsWindow(dlg);
        if (!closed_)
            PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDCANCEL)));
    }

    std::atomic<bool> saw_{false}, closed_{false};
    std::thread thread_;
};

std::wstring quoted(const Paths& names) {
    std::wstring text;
    for (const auto& n : names) text += L"\"" + n + L"\" ";
    return text;
}

class RealFileDialog : public testing::Test {
protected:
    Paths rows() {
        Paths out;
        for (int i = 1; i <= ui.tk.list.count(); ++i) out.push_back(ui.tk.list.text(i));
        return out;
    }
    RealDialogToolkit ui;
    std::unique_ptr<scan::FileSystem> fs = scan::makePlatformFileSystem();
    test::TempTree tree;
};

TEST_F(RealFileDialog, CancelGivesAnEmptySelectionAndNoError) {
    ui.dialog.setFileName(L"C:\\earlier.pst");
    {
        DialogDriver driver({});
        pstlist::addFiles(ui, *fs);
        ASSERT_TRUE(driver.sawDialog());
    }
    EXPECT_EQ(ui.dialog.fileName(), L"");
    EXPECT_EQ(ui.tk.list.count(), 0);
    EXPECT_FALSE(ui.tk.selectAll().enabled());
}

TEST_F(RealFileDialog, ThreeFilesBecomeThreeRowsNewestOnTop) {
    tree.file(L"first.pst", 5000);
    tree.file(L"second \u00e9\u65e5.pst", 1536);
    tree.file(L"third.pst", 265 * 1024);
    wchar_t before[MAX_PATH]{}, after[MAX_PATH]{};
    GetCurrentDirectoryW(MAX_PATH, before);
    {
        DialogDriver driver(
            {tree.path(), quoted({L"first.pst", L"second \u00e9\u65e5.pst", L"third.pst"})});
        pstlist::addFiles(ui, *fs);
        ASSERT_TRUE(driver.closedByItself());
    }
    EXPECT_EQ(ui.dialog.fileName(), tree.path() + L'\0' + L"first.pst" + L'\0' +
                                        L"second \u00e9\u65e5.pst" + L'\0' + L"third.pst");
    EXPECT_EQ(rows(), (Paths{tree.path(L"third.pst"), tree.path(L"second \u00e9\u65e5.pst"),
                             tree.path(L"first.pst")}));
    EXPECT_EQ(ui.tk.list.subItem(1, ui::Column::Size), L"265");
    EXPECT_EQ(ui.tk.list.subItem(2, ui::Column::Size), L"1.5");
    EXPECT_EQ(ui.tk.list.subItem(3, ui::Column::Size), L"4.8828125");
    EXPECT_EQ(ui.tk.total.text, L"3");
    EXPECT_TRUE(ui.tk.selectAll().enabled());
    GetCurrentDirectoryW(MAX_PATH, after);  // the chosen folder is not held open
    EXPECT_STREQ(after, before);
}

TEST_F(RealFileDialog, OneFullPathTypedIsTheSelection) {
    tree.file(L"only.pst", 1024);
    {
        DialogDriver driver({tree.path(L"only.pst")});
        pstlist::addFiles(ui, *fs);
        ASSERT_TRUE(driver.closedByItself());
    }
    EXPECT_EQ(ui.dialog.fileName(), tree.path(L"only.pst"));
    EXPECT_EQ(rows(), Paths{tree.path(L"only.pst")});
}

TEST_F(RealFileDialog, ThreeHundredFilesFarOverAThousandCharacters) {
    Paths names;
    for (int i = 1; i <= 300; ++i) {
        wchar_t name[64];
        swprintf(name, 64, L"mailbox archive %03d.pst", i);
        names.push_back(name);
        tree.file(L"many/" + names.back(), static_cast<std::uintmax_t>(i) * 1024);
    }
    {
        DialogDriver driver({tree.path(L"many"), quoted(names)});
        pstlist::addFiles(ui, *fs);
        ASSERT_TRUE(driver.closedByItself());
    }
    EXPECT_GT(ui.dialog.fileName().size(), 7000u);
    ASSERT_EQ(ui.tk.list.count(), 300);
    for (int row = 1; row <= 300; ++row) {
        ASSERT_EQ(ui.tk.list.text(row), tree.path(L"many/" + names[300 - row]));
        ASSERT_EQ(ui.tk.list.subItem(row, ui::Column::Size), std::to_wstring(301 - row));
    }
    EXPECT_TRUE(ui.tk.dlg.messages.empty());
}

TEST_F(RealFileDialog, ADialogFailureIsAnError) {
    // A template handle asked for but none given: the dialog cannot open.
    // (Should one open anyway, the driver cancels it and the test fails.)
    Win32FileDialog dialog(nullptr);
    dialog.setFlags(OFN_EXPLORER | OFN_ENABLETEMPLATEHANDLE);
    dialog.setFilter(L"Outlook PST File(s)|*.pst");
    DialogDriver driver({});
    try {
        dialog.showOpen();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(e.hresult(), 0);
        EXPECT_NE(e.description().find(L"open-file dialog"), std::wstring::npos);
    }
    EXPECT_EQ(dialog.fileName(), L"");
}

TEST(Win32FileDialogText, FilterAndSelectionForms) {
    using namespace std::string_literals;
    EXPECT_EQ(Win32FileDialog::filterForDialog(L"Outlook PST File(s)|*.pst"),
              L"Outlook PST File(s)\0*.pst\0\0"s);
    const auto sel = [](std::wstring buffer) {
        buffer.resize(buffer.size() + 8, L'\0');
        return Win32FileDialog::selectionFromBuffer(buffer.data(), buffer.size());
    };
    EXPECT_EQ(sel(L"C:\\a.pst\0\0junk"s), L"C:\\a.pst");
    EXPECT_EQ(sel(L"C:\\x\0a.pst\0b.pst\0\0junk"s), L"C:\\x\0a.pst\0b.pst"s);
    EXPECT_EQ(sel(L""s), L"");
}

}  // namespace
}  // namespace pelorin::ui
