// The real COM path, across processes: the attach run and the late-bound
// automation layer against the stand-in Outlook registered in the Wine
// prefix. Every fresh activation costs about a second under Wine, so each
// test starts as few servers as it can.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>
#include <wrl/client.h>

#include <cwctype>
#include <fstream>
#include <iterator>
#include <filesystem>
#include <string>
#include <vector>

#include "outlook-standin/standin_ids.h"
#include "pstlist/attach_run.h"
#include "outlook/automation_win.h"
#include "outlook/com_win.h"
#include "outlook/failure_text.h"
#include "outlook/session.h"
#include "scan/filesystem.h"
#include "support/attach_messages.h"
#include "support/pst_files.h"
#include "support/rows.h"
#include "support/temp_tree.h"
#include "win/cli_process_win.h"
#include "win/harness_win.h"
#include "base/error.h"
#include "base/text.h"
#include "ui/headless_toolkit.h"

namespace pelorin::outlook {
namespace {

using test::kAllAdded;
using test::kFailed;

// Another ProgID for the same run, to see a machine without Outlook.
struct RenamedAutomation final : Automation {
    std::unique_ptr<AutoObject> create(const std::wstring&) override {
        return inner->create(L"Pelorin.NoSuchServer.1");
    }
    std::unique_ptr<Automation> inner = makeComAutomation();
};

class ComStandin : public testing::Test {
protected:
    void SetUp() override {
        comInit_ = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(SUCCEEDED(comInit_));
        if (!test::standinRegistered())
            GTEST_SKIP() << "the stand-in Outlook is not registered in this prefix";
        ASSERT_TRUE(test::standinGone()) << "a stand-in from an earlier test is still running";
    }
    void TearDown() override {
        for (const auto& f : readOnly_) ::SetFileAttributesW(f.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (SUCCEEDED(comInit_)) ::CoUninitialize();
    }

    std::wstring pst(const std::wstring& name, const test::PstShape& shape = {}) {
        return test::writePst(tree.fsPath(name), shape).wstring();
    }
    std::wstring readOnlyPst(const std::wstring& name) {
        std::wstring path = pst(name);
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
        readOnly_.push_back(path);
        return path;
    }
    void fill(const std::vector<std::wstring>& paths) {
        for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
            tk.list.insert(1, *it, 2);
            tk.list.setChecked(1, true);
            tk.list.setSubItem(1, ui::Column::Status, L"before");
        }
        tk.selectAll().setValue(1);
    }
    std::vector<std::wstring> statuses() const { return test::rowStatuses(tk.list); }

    // The stand-in's stores inside this test's folder, in profile order,
    // removed from the profile again. Uses a direct activation of its own
    // and releases it, so the server can end.
    std::vector<std::wstring> ourStores() {
        // A stand-in still ending after the test's own release would refuse
        // this new connection, as an Outlook shutting down does.
        EXPECT_TRUE(test::standinGone());
        auto automation = makeComAutomation();
        OutlookSession outlook(*automation);
        const std::wstring prefix = tree.path();
        std::vector<std::wstring> stores;
        for (const auto& store : outlook.stores()) {
            EXPECT_EQ(store.exchangeStoreType, kPstStoreType);
            if (store.filePath.rfind(prefix, 0) == 0) stores.push_back(store.filePath);
        }
        const int removed = outlook.removeStores(
            [&](const std::wstring& path) { return path.rfind(prefix, 0) == 0; });
        EXPECT_EQ(removed, static_cast<int>(stores.size()));
        return stores;
    }

    void run(Automation& automation) {
        auto fs = scan::makePlatformFileSystem();
        pstlist::RowReasons reasons;
        pstlist::attachTickedRows(tk, automation, *fs, reasons);
    }

    test::TempTree tree;
    ui::HeadlessToolkit tk;

private:
    test::StandinTurn turn_;
    HRESULT comInit_ = E_FAIL;
    std::vector<std::wstring> readOnly_;
};

TEST_F(ComStandin, PathsArriveInOrderAndUnchangedAndTheServerEndsAfterTheRun) {
    const std::vector<std::wstring> paths = {
        pst(L"ansi.pst", {test::PstLayout::Ansi}),
        pst(L"\u041f\u043e\u0447\u0442\u0430 \u0430\u0440\u0445\u0438\u0432.pst"),
        pst(L"\u65e5\u672c\u8a9e\u306e\u30e1\u30fc\u30eb.PST"),
        pst(L"mixed \u00e9\u00e8 \u4e2d\u6587 \u0416.pst", {test::PstLayout::Unicode, 36}),
    };
    fill(paths);
    auto automation = makeComAutomation();
    run(*automation);
    ASSERT_EQ(tk.dlg.messages.size(), 1u);
    EXPECT_EQ(tk.dlg.messages[0].text, kAllAdded);
    EXPECT_EQ(statuses(), std::vector<std::wstring>(paths.size(), L"Done"));
    EXPECT_TRUE(test::standinGone()) << "the run left Outlook objects alive";

    // A second run finds the same files in the profile: not sent again, and
    // the box does not claim they were added now.
    run(*automation);
    EXPECT_EQ(tk.dlg.messages.back().text, L"0 attached, 4 already in Outlook.");
    EXPECT_TRUE(test::standinGone());

    EXPECT_EQ(ourStores(), paths);
    EXPECT_TRUE(test::standinGone());
}

TEST_F(ComStandin, ARefusedFileEndsTheRunAtItsRow) {
    const std::wstring good = pst(L"good.pst");
    std::vector<std::uint8_t> bytes = test::pstBytes();
    bytes[200] ^= 0x10;
    const std::wstring bad = tree.path(L"bad.pst");
    test::writeBytes(tree.fsPath(L"bad.pst"), bytes);
    const std::wstring never = pst(L"never.pst");
    fill({good, bad, never});

    auto automation = makeComAutomation();
    run(*automation);
    ASSERT_EQ(tk.dlg.messages.size(), 1u);
    EXPECT_EQ(tk.dlg.messages[0].text.find(std::wstring(kFailed) + L"\n\n" + bad + L"\n"), 0u);
    EXPECT_EQ(tk.dlg.messages[0].icon, ui::Icon::Critical);
    EXPECT_EQ(statuses(),
              (std::vector<std::wstring>{L"Done", L"Failed: not a PST file", L"Not tried"}));
    EXPECT_TRUE(test::standinGone());
    EXPECT_EQ(ourStores(), std::vector<std::wstring>{good});
}

TEST_F(ComStandin, RefusalsCarryTheServersDescriptionAndCode) {
    std::vector<std::uint8_t> truncated = test::pstBytes();
    truncated.resize(4000);
    test::writeBytes(tree.fsPath(L"truncated.pst"), truncated);
    tree.folder(L"folder.pst");
    struct Case {
        std::wstring path;
        std::wstring description;
        HRESULT code;
    } cases[] = {
        {tree.path(L"truncated.pst"),
         L"The file " + tree.path(L"truncated.pst") + L" is not a personal folders file.", E_FAIL},
        {pst(L"offline.ost", {test::PstLayout::Unicode, 23, {'S', 'O'}}),
         L"The file " + tree.path(L"offline.ost") + L" is not a personal folders file.", E_FAIL},
        {tree.path(L"folder.pst"),
         L"The file " + tree.path(L"folder.pst") + L" is not a personal folders file.", E_FAIL},
        {readOnlyPst(L"from a CD.pst"), L"File access is denied.", E_ACCESSDENIED},
    };
    auto automation = makeComAutomation();
    auto app = automation->create(standin::kProgId);
    auto ns = app->callObject(L"GetNamespace", L"MAPI");
    for (const auto& c : cases) {
        try {
            ns->call(L"AddStore", c.path);
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), kErrAutomation);
            EXPECT_EQ(e.description().find(L"AddStore: " + c.description), 0u) << e.description();
            if (c.code != E_FAIL) {
                EXPECT_EQ(e.hresult(), c.code);
            }
        }
    }
    // As Outlook does, a missing path gets a new, empty PST, and is added.
    ns->call(L"AddStore", tree.path(L"missing.pst"));
    EXPECT_TRUE(std::filesystem::exists(tree.fsPath(L"missing.pst")));

    // The automation layer's own failures.
    try {
        ns->call(L"NoSuchMember", L"x");
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_EQ(e.hresult(), DISP_E_UNKNOWNNAME);
    }
    try {
        app->callObject(L"GetNamespace", L"OTHER");
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_NE(e.description().find(L"OTHER"), std::wstring::npos);
    }
    ns.reset();
    app.reset();
    EXPECT_TRUE(test::standinGone());
    EXPECT_EQ(ourStores(), std::vector<std::wstring>{tree.path(L"missing.pst")});
}

TEST_F(ComStandin, NoOutlookRegisteredEndsInTheFailureMessageWithTheRowsNotTried) {
    fill({pst(L"a.pst"), pst(L"b.pst")});
    RenamedAutomation automation;
    run(automation);
    ASSERT_EQ(tk.dlg.messages.size(), 1u);
    EXPECT_EQ(tk.dlg.messages[0].text, kNotInstalled);
    EXPECT_EQ(statuses(), (std::vector<std::wstring>{L"Not tried", L"Not tried"}));
    try {
        automation.create(L"");
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_EQ(e.hresult(), CO_E_CLASSSTRING);
    }
}

// The profile is on disk as soon as AddStore returns, so a server that is
// killed later loses nothing. (Killing it here would leave Wine's COM with a
// stale registration for the rest of the session.)
TEST_F(ComStandin, EveryStoreIsOnDiskWhenAddStoreReturns) {
    const std::wstring first = pst(L"first \u00e9.pst");
    const std::wstring second = pst(L"second \u4e2d.pst");
    auto profileText = [](const std::wstring& file) {
        std::ifstream in(std::filesystem::path(file), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    auto utf8 = [](const std::wstring& text) { return toUtf8(text); };
    {
        CLSID clsid{};
        ::CLSIDFromProgID(standin::kProgId, &clsid);
        Microsoft::WRL::ComPtr<IDispatch> app;
        ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&app)),
                  S_OK);
        com::Variant ns = com::invoke(app.Get(), L"GetNamespace", DISPATCH_METHOD, L"MAPI");
        IDispatch* mapi = ns.get()->pdispVal;
        com::Variant file = com::invoke(mapi, L"ProfilePath", DISPATCH_PROPERTYGET);
        ASSERT_EQ(file.vt(), VT_BSTR);
        const std::wstring profile(file.get()->bstrVal);

        com::invoke(mapi, L"AddStore", DISPATCH_METHOD, std::wstring_view(first));
        EXPECT_NE(profileText(profile).find(utf8(first) + "\n"), std::string::npos);
        com::invoke(mapi, L"AddStore", DISPATCH_METHOD, std::wstring_view(second));
        const std::string text = profileText(profile);
        EXPECT_LT(text.find(utf8(first) + "\n"), text.find(utf8(second) + "\n"));
        EXPECT_EQ(text.find(".tmp"), std::string::npos);
    }
    EXPECT_EQ(ourStores(), (std::vector<std::wstring>{first, second}));
}

// A new server reads the profile as the servers before it left it: each
// removal applied whatever the case, a line cut short (a server killed as it
// wrote) ignored and dropped by the next change, and the file compacted to
// the plain list once it holds more lines than stores.
TEST_F(ComStandin, ANewServerReadsTheProfileTheOthersLeft) {
    const std::wstring a = tree.path(L"a.pst"), b = tree.path(L"b.pst"), c = pst(L"c.pst");
    std::wstring upperA = a;
    for (wchar_t& ch : upperA) ch = static_cast<wchar_t>(::towupper(ch));
    const std::string lineA = toUtf8(a) + "\n", lineB = toUtf8(b) + "\n";
    const std::string cut = toUtf8(c).substr(0, 6);
    struct Case {
        std::string file;
        std::vector<std::wstring> stores;
        std::string after;  // the file once the new server has read it and added c
    };
    const Case cases[] = {
        {lineA + lineB, {a, b}, lineA + lineB + toUtf8(c) + "\n"},
        {lineA + lineB + "|" + toUtf8(upperA) + "\n", {b}, lineB + toUtf8(c) + "\n"},
        {lineA + lineB + cut, {a, b}, lineA + lineB + toUtf8(c) + "\n"},
    };
    const std::filesystem::path profile = test::standinFile(standin::kProfileFile);
    const std::string saved = test::fileBytes(profile.wstring());
    for (const Case& k : cases) {
        std::ofstream(profile, std::ios::binary | std::ios::trunc) << k.file;
        {
            auto automation = makeComAutomation();
            OutlookSession outlook(*automation);
            EXPECT_EQ(outlook.storePathsOrNone(), k.stores) << k.file;
            outlook.addStore(c);
        }
        EXPECT_EQ(test::fileBytes(profile.wstring()), k.after) << k.file;
        ASSERT_TRUE(test::standinGone());
    }
    std::ofstream(profile, std::ios::binary | std::ios::trunc) << saved;
}

// While another server holds the profile past the wait, a change is refused
// with MAPI's time-out and the profile is not written.
TEST_F(ComStandin, AProfileHeldByAnotherServerRefusesTheChange) {
    const std::wstring file = pst(L"held.pst");
    test::StandinSetting wait(L"profile-lock-ms", "200");
    UniqueKernelHandle held(::CreateMutexW(nullptr, FALSE, L"Local\\Pelorin.StandinProfile"));
    ASSERT_EQ(::WaitForSingleObject(held.get(), 0), WAIT_OBJECT_0);
    {
        auto automation = makeComAutomation();
        auto ns = automation->create(standin::kProgId)->callObject(L"GetNamespace", L"MAPI");
        try {
            ns->call(L"AddStore", file);
            ADD_FAILURE() << "written while the profile was held";
        } catch (const Error& e) {
            EXPECT_EQ(e.hresult(), static_cast<std::int32_t>(0x80040401)) << e.description();
        }
    }
    ::ReleaseMutex(held.get());
    EXPECT_TRUE(test::standinGone());
    EXPECT_TRUE(ourStores().empty());
}

}  // namespace
}  // namespace pelorin::outlook
