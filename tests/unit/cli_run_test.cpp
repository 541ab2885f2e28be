// pelorin-cli's commands over a scripted profile: which files are added,
// removed or refused, the line for each, the summary and the exit code.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <mutex>

#include "base/text.h"
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
    {"DryRunGoesThroughEveryFile",
     {L"attach", L"--dry-run", L"C:\\damaged.pst", L"C:\\a.pst", L"C:\\b.pst"},
     {L"C:\\b.pst"},
     {},
     {L"failed\tC:\\damaged.pst", L"skipped\tC:\\a.pst", L"already\tC:\\b.pst"},
     {},
     L"dry run: 1 of 3 would be attached, 1 already in Outlook, 1 failed",
     1},
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
    {"DetachMissingRemovesOnlyFilesProvenGone",
     {L"detach", L"--missing"},
     {L"C:\\a.pst", L"C:\\gone.pst", L"Z:\\unmapped.pst", L"\\\\srv\\down\\x.pst",
      L"C:\\locked\\x.pst", L"C:\\gone-default.pst"},
     {},
     {L"detached\tC:\\gone.pst", L"skipped\tZ:\\unmapped.pst", L"skipped\t\\\\srv\\down\\x.pst",
      L"skipped\tC:\\locked\\x.pst", L"skipped\tC:\\gone-default.pst"},
     {L"remove C:\\gone.pst"},
     L"1 of 5 detached, 4 skipped",
     0},
    {"ListSaysMissingAndDamaged",
     {L"list"},
     {L"C:\\a.pst", L"C:\\gone.pst", L"C:\\damaged.pst"},
     {},
     {L"ok\tC:\\a.pst", L"missing\tC:\\gone.pst", L"damaged\tC:\\damaged.pst", L"ok\t",
      L"missing\tC:\\gone.ost"},
     {},
     L"5 stores in the profile, 2 missing, 1 damaged",
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
    using pst::Absence;
    for (const auto& [path, absence] : {std::pair{L"Z:\\unmapped.pst", Absence::FolderNotFound},
                                        {L"\\\\srv\\down\\x.pst", Absence::Unreachable},
                                        {L"C:\\locked\\x.pst", Absence::Denied}})
        run.files.files[path].absence = absence;
    for (const std::wstring& path : c.attached)
        run.profile.current.push_back(
            {L"Store", path, true, path.find(L"default") != std::wstring::npos});
    run.profile.current.push_back({L"Mailbox", L"", false, false});
    run.profile.current.push_back({L"Offline", L"C:\\gone.ost", false, false});
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

// A file whose AddStore was given up on (the wait ran out) is neither
// attached nor failed; it stops the run unless --continue, and the
// connection is given the --timeout.
TEST(CliRun, AGivenUpWaitIsStoppedAndStopsTheRunUnlessContinue) {
    const struct {
        std::vector<std::wstring> options;
        std::vector<std::wstring> results;
        std::wstring summary;
        int timeout;
    } cases[] = {
        {{},
         {L"attached\tC:\\a.pst", L"stopped\tC:\\b.pst", L"skipped\tC:\\c.pst"},
         L"1 of 3 attached, 1 stopped waiting, 1 skipped",
         120},
        {{L"--continue", L"--timeout", L"7"},
         {L"attached\tC:\\a.pst", L"stopped\tC:\\b.pst", L"attached\tC:\\c.pst"},
         L"2 of 3 attached, 1 stopped waiting",
         7},
    };
    for (const auto& c : cases) {
        CliRun run;
        run.files.pst({L"C:\\a.pst", L"C:\\b.pst", L"C:\\c.pst"});
        run.profile.failing[L"C:\\b.pst"] = static_cast<std::int32_t>(0x80010002);
        std::vector<std::wstring> args{L"attach"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), {L"C:\\a.pst", L"C:\\b.pst", L"C:\\c.pst"});
        EXPECT_EQ(run.run(args), 1);
        EXPECT_EQ(run.results(), c.results);
        EXPECT_EQ(run.console.outLines.at(1),
                  L"stopped\tC:\\b.pst\tstopped waiting; Outlook may still add it");
        EXPECT_EQ(run.console.errLines.back(), c.summary);
        EXPECT_EQ(run.timeoutSeconds, c.timeout);
    }
}

// The report holds the failing file's reason and HRESULT.
TEST(CliRun, ReportSaysWhy) {
    CliRun run;
    run.files.pst({L"C:\\a.pst", L"C:\\bad.pst"});
    run.profile.failing[L"C:\\bad.pst"] = kNotPst;
    run.run({L"attach", L"--continue", L"--report", L"r.csv", L"C:\\bad.pst", L"C:\\a.pst"});
    EXPECT_FALSE(run.reports.files.contains(L"C:\\work\\r.csv.partial"));
    EXPECT_EQ(run.reports.files.at(L"C:\\work\\r.csv"),
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
        // Formulas in a spreadsheet: neutralised with a leading apostrophe.
        {L"=HYPERLINK(\"http://x\")", L"\"'=HYPERLINK(\"\"http://x\"\")\""},
        {L"+1", L"'+1"},
        {L"-2+3", L"'-2+3"},
        {L"@SUM(A1)", L"'@SUM(A1)"},
        {L"\tcmd", L"'\tcmd"},
        {L"\rx", L"\"'\rx\""},
        {L"a=b", L"a=b"},
        {L"\x41F\x43E\x447\x442\x430\\\x90AE\x4EF6.pst",
         L"\x41F\x43E\x447\x442\x430\\\x90AE\x4EF6.pst"},
    };
    for (const auto& c : cases) EXPECT_EQ(cli::csvField(c.text), c.field) << c.text;
}

// Outlook's description may hold tabs and line breaks; the line stays one
// line of three fields.
TEST(CliRecords, ResultLineIsOneLine) {
    const struct {
        const wchar_t* reason;
        const wchar_t* line;
    } cases[] = {
        {L"The file is damaged.\r\nRun the repair tool.",
         L"failed\tC:\\a.pst\tThe file is damaged. Run the repair tool."},
        {L"one\ttwo\nthree\rfour", L"failed\tC:\\a.pst\tone two three four"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cli::resultLine(cli::FileRecord(L"C:\\a.pst", cli::Result::Failed, c.reason)),
                  c.line);
}

// When Outlook does not say which store is the default, none is proven not
// to be it: nothing is removed, by name, under --all or under --missing.
TEST(CliRun, DetachRefusedWhenTheDefaultIsUnknown) {
    for (const std::vector<std::wstring>& args : {std::vector<std::wstring>{L"detach", L"--all"},
                                                  {L"detach", L"C:\\a.pst"},
                                                  {L"detach", L"--missing"}}) {
        CliRun run;
        if (args[1] != L"--missing") run.files.pst({L"C:\\a.pst", L"C:\\default.pst"});
        run.profile.current = {{L"Default", L"C:\\default.pst", true, false},
                               {L"A", L"C:\\a.pst", true, false}};
        run.profile.defaultUnknown = true;
        EXPECT_EQ(run.run(args), 1) << args[1];
        EXPECT_TRUE(run.profile.calls.empty()) << args[1];
        ASSERT_FALSE(run.console.outLines.empty());
        EXPECT_NE(run.console.outLines[0].find(L"refused: Outlook does not say which store is the "
                                               L"profile's default"),
                  std::wstring::npos);
    }
}

// A folder that cannot be listed keeps its line and makes the run fail.
TEST(CliRun, UnreadableFolderFailsTheRun) {
    TempTree tree;
    tree.file(L"mail/a.pst");
    tree.file(L"mail/locked/b.pst");
    CliRun run;
    run.files.pst({tree.path(L"mail/a.pst")});
    run.unreadableFolder = tree.path(L"mail/locked");
    EXPECT_EQ(run.run({L"attach", tree.path(L"mail")}), 1);
    const std::wstring locked = tree.path(L"mail/locked") +
                                static_cast<wchar_t>(std::filesystem::path::preferred_separator);
    EXPECT_EQ(run.results(), (std::vector<std::wstring>{L"skipped\t" + locked,
                                                        L"attached\t" + tree.path(L"mail/a.pst")}));
    EXPECT_EQ(run.console.errLines.back(), L"1 of 1 attached, 1 folder could not be read");
}

// The files are looked at while Outlook starts: the connection here waits
// until the attach's file has been looked at (a run that connected first
// would wait in vain). With Outlook out of reach, the folders that could not
// be read still get their lines.
TEST(CliRun, FilesAreLookedAtWhileOutlookStarts) {
    const std::wstring a = L"C:\\a.pst";
    CliRun run;
    run.files.pst({a});
    std::promise<void> seen;
    run.files.looked = [&, once = std::make_shared<std::once_flag>()](const std::wstring&) {
        std::call_once(*once, [&] { seen.set_value(); });
    };
    bool overlapped = false;
    run.connecting = [&] {
        overlapped = seen.get_future().wait_for(std::chrono::seconds(30)) ==
                     std::future_status::ready;
    };
    EXPECT_EQ(run.run({L"attach", a}), 0);
    EXPECT_TRUE(overlapped);

    TempTree tree;
    tree.file(L"mail/a.pst");
    CliRun away;
    away.unavailable = L"Outlook could not be started.";
    away.unreadableFolder = tree.path(L"mail");
    EXPECT_EQ(away.run({L"attach", tree.path(L"mail")}), 3);
    const auto sep = static_cast<wchar_t>(std::filesystem::path::preferred_separator);
    EXPECT_EQ(away.results(), std::vector<std::wstring>{L"skipped\t" + tree.path(L"mail") + sep});
    EXPECT_EQ(away.console.errLines.back(), L"pelorin-cli: Outlook could not be started.");
}

// The report's target is checked before anything runs; a refused one
// leaves every file as it was and nothing is attached.
TEST(CliReport, TargetRefusedBeforeTheRun) {
    TempTree tree;
    tree.folder(L"reports");
    const struct {
        const char* name;
        std::wstring target;
        std::wstring errorPart;
    } cases[] = {
        {"Folder", tree.path(L"reports"), L"is a folder"},
        {"Pst", L"C:\\2020.pst", L"names a PST or OST file"},
        {"Ost", L"C:\\x.OST", L"names a PST or OST file"},
        {"AnInput", L"C:\\in.csv", L"is also named as input"},
        {"TheList", L"C:\\lists\\l.txt", L"is also named as input"},
        {"NotAReport", L"C:\\notes.csv", L"exists and is not an earlier report"},
        {"AnotherCsv", L"C:\\wider.csv", L"exists and is not an earlier report"},
        {"Unwritable", L"C:\\nowhere\\r.csv", L"cannot create the folder C:\\nowhere"},
    };
    for (const auto& c : cases) {
        CliRun run;
        run.files.pst({L"C:\\a.pst", L"C:\\2019.pst", L"C:\\2020.pst"});
        run.files.files[L"C:\\notes.csv"] = {true, 5, {'h', 'e', 'l', 'l', 'o'}, true};
        const std::string wider = "path,size_bytes,format,result,reason,hresult,owner\r\n";
        run.files.files[L"C:\\wider.csv"] = {true, 50, {wider.begin(), wider.end()}, true};
        run.files.contents[L"C:\\lists\\l.txt"] = "C:\\a.pst";
        run.reports.failFolders = c.target.starts_with(L"C:\\nowhere");
        const int code = run.run({L"attach", L"--from", L"C:\\lists\\l.txt", L"--report", c.target,
                                  L"C:\\2019.pst", L"C:\\in.csv"});
        EXPECT_EQ(code, 2) << c.name;
        EXPECT_TRUE(run.profile.calls.empty()) << c.name;
        EXPECT_TRUE(run.reports.files.empty()) << c.name;
        ASSERT_FALSE(run.console.errLines.empty()) << c.name;
        EXPECT_NE(run.console.errLines[0].find(c.errorPart), std::wstring::npos)
            << c.name << ": " << run.console.errLines[0];
    }
}

// The rows go to REPORT.partial, moved over the target at the end: an
// earlier report is replaced, or kept whole when the write fails; when the
// move fails the rows stay in .partial and the run does not end in 0.
TEST(CliReport, PartialFileMovedOverTheTarget) {
    const std::string earlier =
        "\xEF\xBB\xBFpath,size_bytes,format,result,reason,hresult\r\nold\r\n";
    const struct {
        const char* name;
        bool failWrite, failReplace;
        int exitCode;
        bool replaced, partialKept;
        std::wstring errorPart;
    } cases[] = {
        {"Replaced", false, false, 0, true, false, L""},
        {"WriteFails", true, false, 1, false, false,
         L"cannot write the report C:\\r.csv.partial; C:\\r.csv is left as it was"},
        {"MoveFails", false, true, 1, false, true,
         L"cannot replace the report C:\\r.csv (is it open in another program?); this run's report "
         L"is C:\\r.csv.partial"},
    };
    for (const auto& c : cases) {
        CliRun run;
        run.files.pst({L"C:\\a.pst"});
        run.files.files[L"C:\\r.csv"] = {true, 60, {earlier.begin(), earlier.end()}, true};
        run.reports.files[L"C:\\r.csv"] = earlier;
        run.reports.failWrite = c.failWrite;
        run.reports.failReplace = c.failReplace;
        EXPECT_EQ(run.run({L"attach", L"--report", L"C:\\r.csv", L"C:\\a.pst"}), c.exitCode)
            << c.name;
        EXPECT_EQ(run.reports.files.at(L"C:\\r.csv") != earlier, c.replaced) << c.name;
        EXPECT_EQ(run.reports.files.contains(L"C:\\r.csv.partial"), c.partialKept) << c.name;
        if (!c.errorPart.empty()) {
            EXPECT_NE(run.console.errLines.at(0).find(c.errorPart), std::wstring::npos)
                << c.name << ": " << run.console.errLines.at(0);
        }
    }
}

// --log appends: two runs leave their start, file and end lines one after
// the other; a log that cannot be opened, or that names a PST, stops the run
// before anything is done.
TEST(CliLog, RunsAppendAndALogThatCannotBeOpenedIsAUsageError) {
    CliRun run;
    run.files.pst({L"C:\\a.pst", L"C:\\bad.pst"});
    run.profile.failing[L"C:\\bad.pst"] = kNotPst;
    run.logs.files[L"C:\\help desk.log"] = "earlier\r\n";
    EXPECT_EQ(run.run({L"attach", L"--log", L"C:\\help desk.log", L"C:\\a.pst"}), 0);
    EXPECT_EQ(run.run({L"attach", L"--log", L"C:\\help desk.log", L"C:\\bad.pst"}), 1);
    const std::string t = "2026-12-07T21:40:00+01:00\t";
    EXPECT_EQ(run.logs.files.at(L"C:\\help desk.log"),
              "earlier\r\n" + t + "start\tanna\tPC-7\t" + toUtf8(cli::versionText()) +
                  "\tpelorin-cli attach --log \"C:\\help desk.log\" C:\\a.pst\r\n" + t +
                  "attached\tC:\\a.pst\t\t\r\n" + t + "end\texit 0\t1 of 1 attached\r\n" + t +
                  "start\tanna\tPC-7\t" + toUtf8(cli::versionText()) +
                  "\tpelorin-cli attach --log \"C:\\help desk.log\" C:\\bad.pst\r\n" + t +
                  "failed\tC:\\bad.pst\tnot a PST file\t0x80040600\r\n" + t +
                  "end\texit 1\t0 of 1 attached, 1 failed\r\n");

    const struct {
        const char* name;
        std::wstring log;
        std::wstring errorPart;
        std::vector<std::wstring> more;  // further arguments
    } refused[] = {
        {"CannotOpen", L"C:\\ro.log", L"--log C:\\ro.log cannot be opened for appending", {}},
        {"NamesAPst", L"C:\\a.pst", L"--log C:\\a.pst names a PST or OST file", {}},
        {"IsTheList",
         L"C:\\list.txt",
         L"--log C:\\list.txt is also named as input or report",
         {L"--from", L"C:\\list.txt"}},
        {"IsTheReport",
         L"C:\\r.csv",
         L"--log C:\\r.csv is also named as input or report",
         {L"--report", L"C:\\r.csv"}},
    };
    for (const auto& c : refused) {
        CliRun bad;
        bad.files.pst({L"C:\\a.pst"});
        bad.logs.refused.push_back(L"C:\\ro.log");
        std::vector<std::wstring> args = {L"attach", L"--log", c.log};
        args.insert(args.end(), c.more.begin(), c.more.end());
        args.push_back(L"C:\\a.pst");
        EXPECT_EQ(bad.run(args), 2) << c.name;
        EXPECT_TRUE(bad.profile.calls.empty()) << c.name;
        EXPECT_TRUE(bad.console.outLines.empty()) << c.name;
        EXPECT_TRUE(bad.logs.files.empty()) << c.name;
        ASSERT_EQ(bad.console.errLines.size(), 1u) << c.name;
        EXPECT_NE(bad.console.errLines[0].find(c.errorPart), std::wstring::npos)
            << c.name << ": " << bad.console.errLines[0];
    }
}

}  // namespace
}  // namespace pelorin::test
