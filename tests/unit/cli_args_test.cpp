// pelorin-cli's command line and list files: what parses, every usage error
// with exit code 2, and the paths a list file gives.
#include <gtest/gtest.h>

#include "cli/args.h"
#include "cli/list_file.h"
#include "support/cli_fakes.h"

namespace pelorin::test {
namespace {

struct ArgsCase {
    std::vector<std::wstring> args;
    int exitCode;
    std::wstring errorPart;  // in the message on standard error
};

const ArgsCase kArgs[] = {
    {{}, 2, L"no command"},
    {{L"frobnicate"}, 2, L"unknown command frobnicate"},
    {{L"attach"}, 2, L"no paths"},
    {{L"check"}, 2, L"no paths"},
    {{L"detach"}, 2, L"no paths"},
    {{L"attach", L"--bogus", L"C:\\a.pst"}, 2, L"unknown option --bogus"},
    {{L"attach", L"--all", L"C:\\a.pst"}, 2, L"--all is not an option of attach"},
    {{L"detach", L"--dry-run", L"C:\\a.pst"}, 2, L"--dry-run is not an option of detach"},
    {{L"check", L"--continue", L"C:\\a.pst"}, 2, L"--continue is not an option of check"},
    {{L"list", L"C:\\a.pst"}, 2, L"list takes no paths"},
    {{L"list", L"--from", L"l.txt"}, 2, L"--from is not an option of list"},
    {{L"detach", L"--all", L"C:\\a.pst"}, 2, L"--all takes no paths"},
    {{L"attach", L"--from"}, 2, L"--from needs a file name"},
    {{L"attach", L"--report", L"a.csv", L"--report", L"b.csv", L"C:\\a.pst"}, 2, L"given twice"},
    {{L"attach", L"--from", L"missing.txt"}, 2, L"cannot read the list file missing.txt"},
    {{L"attach", L"--from", L"empty.txt"}, 2, L"names none"},
    {{L"attach", L"--timeout", L"0", L"C:\\a.pst"}, 2, L"--timeout needs a whole number"},
    {{L"attach", L"--timeout", L"1.5", L"C:\\a.pst"}, 2, L"from 1 to 86400"},
    {{L"attach", L"--timeout", L"86401", L"C:\\a.pst"}, 2, L"from 1 to 86400"},
    {{L"attach", L"--timeout"}, 2, L"--timeout needs"},
    {{L"check", L"--timeout", L"5", L"C:\\a.pst"}, 2, L"--timeout is not an option of check"},
    {{L"list", L"--timeout", L"86400"}, 0, L""},
    {{L"--help"}, 0, L""},
    {{L"attach", L"--help"}, 0, L""},
    {{L"--version"}, 0, L""},
    {{L"check", L"--", L"--odd.pst"}, 1, L""},  // a path after "--"; not found: a problem
    {{L"list"}, 0, L""},
    {{L"detach", L"--all"}, 0, L""},
};

TEST(CliArgs, ExitCodesAndUsageErrors) {
    for (const ArgsCase& c : kArgs) {
        CliRun run;
        run.files.contents[L"empty.txt"] = "# nothing yet\r\n\r\n";
        const int code = run.run(c.args);
        const std::wstring all = c.args.empty() ? L"" : c.args[0];
        EXPECT_EQ(code, c.exitCode) << all << " " << c.args.size();
        if (!c.errorPart.empty()) {
            ASSERT_FALSE(run.console.errLines.empty()) << c.errorPart;
            EXPECT_NE(run.console.errLines.front().find(c.errorPart), std::wstring::npos)
                << run.console.errLines.front();
            EXPECT_TRUE(run.console.outLines.empty());
        }
    }
}

TEST(CliArgs, HelpDocumentsEveryExitCodeAndVersionNamesTheRelease) {
    for (const wchar_t* code : {L"  0  ", L"  1  ", L"  2  ", L"  3  ", L"SYSTEM"})
        EXPECT_NE(cli::helpText().find(code), std::wstring::npos) << code;
    EXPECT_TRUE(cli::versionText().starts_with(L"pelorin-cli 3."));
}

struct ListCase {
    const char* name;
    std::string bytes;
    std::vector<std::wstring> paths;
};

const ListCase kLists[] = {
    {"Utf8NoBom", "C:\\a.pst\nC:\\b.pst", {L"C:\\a.pst", L"C:\\b.pst"}},
    {"Utf8BomCrlfBlankComment",
     "\xEF\xBB\xBF# mail\r\n\r\n  C:\\\xD0\x9F.pst  \r\n\t\r\n",
     {L"C:\\\x41F.pst"}},
    {"Utf16LeBom",
     std::string("\xFF\xFE"
                 "C\0:\0\\\0\x1F\x4E.\0p\0s\0t\0\r\0\n\0",
                 22),
     {L"C:\\\x4E1F.pst"}},
    {"Utf16BeBom", std::string("\xFE\xFF\0x\0.\0p\0s\0t", 12), {L"x.pst"}},
    {"QuotedFromExplorer", "\"C:\\My Mail\\a.pst\"\n", {L"C:\\My Mail\\a.pst"}},
    {"Variables",
     "%USERPROFILE%\\a.pst\n%NOPE%\\b.pst\n100%\\c.pst\n%%x.pst\n",
     {L"C:\\Users\\\x4F60\\a.pst", L"%NOPE%\\b.pst", L"100%\\c.pst", L"%%x.pst"}},
    {"HashInsideIsAPath", "C:\\#1\\a.pst\n  # indented comment\n", {L"C:\\#1\\a.pst"}},
};

TEST(CliListFile, PathsOfEachEncodingAndLayout) {
    const cli::VariableLookup lookup = [](const std::wstring& name) -> std::optional<std::wstring> {
        if (name == L"USERPROFILE") return L"C:\\Users\\\x4F60";
        return std::nullopt;
    };
    for (const ListCase& c : kLists)
        EXPECT_EQ(cli::listFilePaths(c.bytes, lookup), c.paths) << c.name;
}

}  // namespace
}  // namespace pelorin::test
