// pelorin-cli.exe --profile against the stand-in's profiles: the named one is
// logged on to and used; an Outlook running with another profile, or a name
// no profile has, ends the run with exit code 3 naming it, before any AddStore.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "support/pst_files.h"
#include "support/temp_tree.h"
#include "win/cli_process_win.h"
#include "win/harness_win.h"

namespace pelorin::test {
namespace {

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
        std::wstring said;   // in the output
        std::wstring calls;  // the stand-in's, first word each
    } cases[] = {
        {"Outlook\nArchive\n", L"archive", 0, L"attached\t" + file, L"Logon AddStore "},
        {"Outlook\trunning\nArchive\n", L"Archive", 3, L"\"Outlook\" open, not \"Archive\"",
         L"Logon "},
        {"Outlook\nArchive\n", L"Nope", 3, L"profile \"Nope\" does not exist", L"Logon "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t before = standinCalls().size();
        Output run;
        {
            StandinSetting profiles(L"profiles", c.profiles);
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
