// pelorin-cli.exe --profile against the stand-in's profiles: the named one is
// logged on to and used; an Outlook running with another profile, or a name
// no profile has, ends the run with exit code 3 naming it, before any AddStore.
// An Outlook registered as running (the active object) is not sent Logon.
#include <gtest/gtest.h>
#include <windows.h>

#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "outlook-standin/standin_ids.h"
#include "support/pst_files.h"
#include "support/temp_tree.h"
#include "win/cli_process_win.h"
#include "win/harness_win.h"

namespace pelorin::test {
namespace {

struct Nothing final : IUnknown {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

// An object registered as the running Outlook, from a thread of the
// multithreaded apartment: calls on it are answered while the test waits.
class ActiveOutlook {
public:
    ActiveOutlook() {
        std::promise<bool> registered;
        thread_ = std::thread([this, &registered] {
            ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            CLSID clsid{};
            DWORD cookie = 0;
            const bool ok =
                SUCCEEDED(::CLSIDFromProgID(standin::kProgId, &clsid)) &&
                SUCCEEDED(::RegisterActiveObject(&object_, clsid, ACTIVEOBJECT_STRONG, &cookie));
            registered.set_value(ok);
            stop_.get_future().wait();
            if (ok) ::RevokeActiveObject(cookie, nullptr);
            ::CoUninitialize();
        });
        ok_ = registered.get_future().get();
    }
    ~ActiveOutlook() {
        stop_.set_value();
        thread_.join();
    }
    bool ok() const { return ok_; }

private:
    Nothing object_;
    std::promise<void> stop_;
    std::thread thread_;
    bool ok_ = false;
};

TEST(CliProfile, TheNamedProfileOrExitCode3) {
    StandinTurn turn;
    if (!standinRegistered()) GTEST_SKIP() << "the stand-in Outlook is not registered";
    TempTree tree;
    tree.file(L"a.pst");
    const std::wstring file = writePst(tree.fsPath(L"a.pst")).wstring();
    const struct {
        const char* profiles;  // the stand-in's setting
        std::wstring name;     // --profile
        DWORD exitCode;
        std::wstring said;    // in the output
        std::wstring calls;   // the stand-in's, first word each
        bool active = false;  // an Outlook registered as running
    } cases[] = {
        {"Outlook\nArchive\n", L"archive", 0, L"attached\t" + file, L"Logon AddStore "},
        {"Outlook\trunning\nArchive\n", L"Archive", 3, L"\"Outlook\" open, not \"Archive\"",
         L"Logon "},
        {"Outlook\nArchive\n", L"Nope", 3, L"profile \"Nope\" does not exist", L"Logon "},
        {"Outlook\nArchive\n", L"Archive", 3, L"running with the profile \"Outlook\"", L"", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t before = standinCalls().size();
        Output run;
        {
            StandinSetting profiles(L"profiles", c.profiles);
            std::optional<ActiveOutlook> active;
            if (c.active) {
                ASSERT_TRUE(active.emplace().ok());
            }
            run = runCli(tree, {L"attach", L"--profile", c.name, file});
            EXPECT_TRUE(standinGone());
        }
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_NE((run.out + run.err).find(c.said), std::wstring::npos) << run.out << run.err;
        std::wstring calls;
        const std::vector<std::wstring> all = standinCalls();
        for (std::size_t i = before; i < all.size(); ++i)
            if (!all[i].empty()) calls += all[i].substr(0, all[i].find(L' ')) + L" ";
        EXPECT_EQ(calls, c.calls);
    }
    forgetStoresUnder(tree.path());
}

}  // namespace
}  // namespace pelorin::test
