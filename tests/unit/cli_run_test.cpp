// pelorin-cli's commands over a scripted profile: which files are added,
// removed or refused, the line for each, the summary and the exit code.
#include <gtest/gtest.h>

#include "cli/records.h"
#include "support/cli_fakes.h"
#include "support/temp_tree.h"

namespace pelorin::test {
namespace {

constexpr std::int32_t kNotPst = static_cast<std::int32_t>(0x80040600);

struct RunCase {
    const char* name;
    std::vector<std::wstring> args;
    std::vector<std::wstring> attached;  // stores before the run (PSTs)
    std::vector<std::wstring> failing;   // AddStore fails for these
    std::vector<std::wstring> results;   // "RESULT\tPATH" in order
    std::vector<std::wstring> calls;
    std::wstring summary;
    int exitCode;
};

const RunCase kRuns[] = {
    {"AttachAll",
     {L"attach", L"C:\\a.pst", L"C:\\b.pst"},
     {},
     {},
     {L"attached\tC:\\a.pst", L"attached\tC:\\b.pst"},
     {L"add C:\\a.pst", L"add C:\\b.pst"},
     L"2 of 2 attached",
     0},
    {"AlreadyInAnotherSpelling",
     {L"attach", L"C:\\A.PST", L"C:\\b.pst"},
     {L"c:\\a.pst"},
     {},
     {L"already\tC:\\A.PST", L"attached\tC:\\b.pst"},
     {L"add C:\\b.pst"},
     L"1 of 2 attached, 1 already in Outlook",
     0},
    {"StopsAtFirstFailure",
     {L"attach", L"C:\\a.pst", L"C:\\bad.pst", L"C:\\c.pst"},
     {},
     {L"C:\\bad.pst"},
     {L"attached\tC:\\a.pst", L"failed\tC:\\bad.pst", L"skipped\tC:\\c.pst"},
     {L"add C:\\a.pst", L"add C:\\bad.pst"},
     L"1 of 3 attached, 1 failed, 1 skipped",
     1},
    {"ContinueTriesEveryFile",
     {L"attach", L"--continue", L"C:\\a.pst", L"C:\\bad.pst", L"C:\\c.pst"},
     {},
     {L"C:\\bad.pst"},
     {L"attached\tC:\\a.pst", L"failed\tC:\\bad.pst", L"attached\tC:\\c.pst"},
     {L"add C:\\a.pst", L"add C:\\bad.pst", L"add C:\\c.pst"},
     L"2 of 3 attached, 1 failed",
     1},
    {"MissingFileNeverReachesOutlook",
     {L"attach", L"--continue", L"C:\\gone.pst", L"C:\\a.pst"},
     {},
     {},
     {L"failed\tC:\\gone.pst", L"attached\tC:\\a.pst"},
     {L"add C:\\a.pst"},
     L"1 of 2 attached, 1 failed",
     1},
    {"RefusedBeforeOutlook",
     {L"attach", L"--continue", L"C:\\damaged.pst", L"C:\\ro.pst", L"C:\\a.pst"},
     {},
     {},
     {L"failed\tC:\\damaged.pst", L"failed\tC:\\ro.pst", L"attached\tC:\\a.pst"},
     {L"add C:\\a.pst"},
     L"1 of 3 attached, 2 failed",
     1},
    {"DryRunAddsNothing",
     {L"attach", L"--dry-run", L"C:\\a.pst", L"C:\\b.pst"},
     {L"C:\\b.pst"},
     {},
     {L"skipped\tC:\\a.pst", L"already\tC:\\b.pst"},
     {},
     L"dry run: 1 of 2 would be attached, 1 already in Outlook",
     0},
    {"RelativePathGoesOutFull",
     {L"attach", L"a.pst"},
     {},
     {},
     {L"attached\tC:\\work\\a.pst"},
     {L"add C:\\work\\a.pst"},
     L"1 of 1 attached",
     0},
    {"NamedTwiceTakenOnce",
     {L"attach", L"C:\\a.pst", L"c:\\A.pst"},
     {},
     {},
     {L"attached\tC:\\a.pst"},
     {L"add C:\\a.pst"},
     L"1 of 1 attached",
     0},
    {"InTheProfileButGone",
     {L"attach", L"C:\\gone.pst"},
     {L"C:\\gone.pst"},
     {},
     {L"failed\tC:\\gone.pst"},
     {},
     L"0 of 1 attached, 1 failed",
     1},
    {"NameEndingInASpaceOrADot",
     {L"attach", L"--continue", L"C:\\x.pst ", L"C:\\Mail.\\y.pst"},
     {L"C:\\x.pst "},
     {},
     {L"failed\tC:\\x.pst ", L"failed\tC:\\Mail.\\y.pst"},
     {},
     L"0 of 2 attached, 2 failed",
     1},
    {"DetachNamed",
     {L"detach", L"C:\\a.pst", L"C:\\x.pst"},
     {L"C:\\a.pst", L"C:\\b.pst"},
     {},
     {L"detached\tC:\\a.pst", L"skipped\tC:\\x.pst"},
     {L"remove C:\\a.pst"},
     L"1 of 2 detached, 1 skipped",
     0},
    {"DetachDefaultRefused",
     {L"detach", L"C:\\default.pst"},
     {L"C:\\default.pst"},
     {},
     {L"failed\tC:\\default.pst"},
     {},
     L"0 of 1 detached, 1 failed",
     1},
    {"DetachAllSparesDefault",
     {L"detach", L"--all"},
     {L"C:\\default.pst", L"C:\\a.pst", L"C:\\b.pst"},
     {},
     {L"skipped\tC:\\default.pst", L"detached\tC:\\a.pst", L"detached\tC:\\b.pst"},
     {L"remove C:\\a.pst", L"remove C:\\b.pst"},
     L"2 of 3 detached, 1 skipped",
     0},
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

class CliRunTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(CliRunTest, ResultsCallsSummaryAndExitCode) {
    const RunCase& c = GetParam();
    CliRun run;
    run.files.pst({L"C:\\a.pst", L"C:\\b.pst", L"C:\\bad.pst", L"C:\\c.pst", L"C:\\work\\a.pst",
                   L"C:\\default.pst"});
    run.files.pst({L"C:\\damaged.pst", L"C:\\ro.pst", L"C:\\x.pst ", L"C:\\Mail.\\y.pst"});
    run.files.files[L"C:\\damaged.pst"].head[40] ^= 1;
    run.files.files[L"C:\\ro.pst"].readOnly = true;
    for (const std::wstring& path : c.attached)
        run.profile.current.push_back({L"Store", path, true, path == L"C:\\default.pst"});
    run.profile.current.push_back({L"Mailbox", L"", false, false});
    for (const std::wstring& path : c.failing) run.profile.failing[path] = kNotPst;

    EXPECT_EQ(run.run(c.args), c.exitCode);
    EXPECT_EQ(run.results(), c.results);
    EXPECT_EQ(run.profile.calls, c.calls);
    ASSERT_FALSE(run.console.errLines.empty());
    EXPECT_EQ(run.console.errLines.back(), c.summary);
}

INSTANTIATE_TEST_SUITE_P(Cases, CliRunTest, ::testing::ValuesIn(kRuns),
                         [](const auto& info) { return std::string(info.param.name); });

// Outlook out of reach: exit 3 and the reason, whatever the command.
TEST(CliRun, OutlookUnavailable) {
    for (const std::wstring command : {L"attach", L"detach", L"list"}) {
        CliRun run;
        run.unavailable = L"Outlook could not be started.\n\nRefused (0x80004005)";
        std::vector<std::wstring> args{command};
        if (command != L"list") args.push_back(L"C:\\a.pst");
        EXPECT_EQ(run.run(args), 3) << command;
        EXPECT_EQ(run.console.errLines.back(),
                  L"pelorin-cli: Outlook could not be started.  Refused (0x80004005)");
    }
}

// The report holds the failing file's reason and HRESULT.
TEST(CliRun, ReportSaysWhy) {
    CliRun run;
    run.files.pst({L"C:\\a.pst", L"C:\\bad.pst"});
    run.profile.failing[L"C:\\bad.pst"] = kNotPst;
    run.run({L"attach", L"--continue", L"--report", L"r.csv", L"C:\\bad.pst", L"C:\\a.pst"});
    EXPECT_EQ(run.files.written.at(L"r.csv"),
              "\xEF\xBB\xBFpath,size_bytes,format,result,reason,hresult\r\n"
              "C:\\bad.pst,8192,Unicode PST,failed,not a PST file,0x80040600\r\n"
              "C:\\a.pst,8192,Unicode PST,attached,,\r\n");
}

// A folder argument gives the PST files of its whole tree, the same files
// Add Folder would list, each once however often it is named.
TEST(CliRun, FolderArgumentsGiveThePstFilesOfTheTree) {
    TempTree tree;
    tree.file(L"mail/a.pst");
    tree.file(L"mail/notes.txt");
    tree.file(L"mail/old/B.PST");
    tree.file(L"mail/old/b.pst.bak");
    CliRun run;
    run.files.pst({tree.path(L"mail/a.pst"), tree.path(L"mail/old/B.PST")});
    EXPECT_EQ(run.run({L"check", tree.path(L"mail"), tree.path(L"mail/a.pst")}), 0);
    EXPECT_EQ(run.results(), (std::vector<std::wstring>{L"ok\t" + tree.path(L"mail/a.pst"),
                                                        L"ok\t" + tree.path(L"mail/old/B.PST")}));
    EXPECT_EQ(run.console.errLines.back(), L"2 checked: 2 ok");
}

TEST(CliReport, CsvQuotingOfHardPaths) {
    const struct {
        const wchar_t* text;
        const wchar_t* field;
    } cases[] = {
        {L"C:\\mail\\a.pst", L"C:\\mail\\a.pst"},
        {L"C:\\Smith, J\\a.pst", L"\"C:\\Smith, J\\a.pst\""},
        {L"C:\\the \"old\" one.pst", L"\"C:\\the \"\"old\"\" one.pst\""},
        {L"line\nbreak", L"\"line\nbreak\""},
        {L" lead.pst", L"\" lead.pst\""},
        {L"\x41F\x43E\x447\x442\x430\\\x90AE\x4EF6.pst",
         L"\x41F\x43E\x447\x442\x430\\\x90AE\x4EF6.pst"},
    };
    for (const auto& c : cases) EXPECT_EQ(cli::csvField(c.text), c.field) << c.text;
}

}  // namespace
}  // namespace pelorin::test
