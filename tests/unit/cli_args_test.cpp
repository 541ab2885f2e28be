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
    {{L"detach", L"--missing", L"C:\\a.pst"}, 2, L"--missing takes no paths"},
    {{L"detach", L"--all", L"--missing"}, 2, L"--all and --missing cannot be combined"},
    {{L"list", L"--missing"}, 2, L"--missing is not an option of list"},
    {{L"attach", L"--from"}, 2, L"--from needs a file name"},
    {{L"attach", L"--report", L"a.csv", L"--report", L"b.csv", L"C:\\a.pst"}, 2, L"given twice"},
    {{L"attach", L"--from", L"missing.txt"}, 2, L"the list file missing.txt: it cannot be read"},
    {{L"attach", L"--list-encoding", L"oem", L"C:\\a.pst"}, 2, L"--list-encoding needs --from"},
    {{L"check", L"--from", L"l.txt", L"--list-encoding", L"utf7"}, 2, L"takes ansi or oem"},
    {{L"list", L"--list-encoding", L"ansi"}, 2, L"--list-encoding is not an option of list"},
    {{L"detach", L"/all"}, 2, L"unknown option /all (options start with --"},
    {{L"attach", L"--from", L"empty.txt"}, 2, L"names none"},
    {{L"attach", L"--timeout", L"0", L"C:\\a.pst"}, 2, L"--timeout needs a whole number"},
    {{L"attach", L"--timeout", L"1.5", L"C:\\a.pst"}, 2, L"from 1 to 86400"},
    {{L"attach", L"--timeout", L"86401", L"C:\\a.pst"}, 2, L"from 1 to 86400"},
    {{L"attach", L"--timeout"}, 2, L"--timeout needs"},
    {{L"check", L"--timeout", L"5", L"C:\\a.pst"}, 2, L"--timeout is not an option of check"},
    {{L"list", L"--timeout", L"86400"}, 0, L""},
    {{L"check", L"--profile", L"Work", L"C:\\a.pst"}, 2, L"--profile is not an option of check"},
    {{L"list", L"--profile"}, 2, L"--profile needs a profile name"},
    {{L"list", L"--profile", L"A", L"--profile", L"B"}, 2, L"--profile is given twice"},
    {{L"list", L"--profile", L"Work"}, 0, L""},
    {{L"check", L"C:\\a*\\b.pst"}, 2, L"C:\\a*\\b.pst has a wildcard (* or ?) in a folder's name"},
    {{L"check", L"--from", L"wild.txt"}, 2, L"wild.txt: line 2: D:\\a?\\*.pst has a wildcard"},
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
        run.files.contents[L"wild.txt"] = "D:\\in\\*.pst\r\nD:\\a?\\*.pst\r\n";
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

// A list file read by `check --from C:\lists\l.txt`: the paths it gives
// (as "problem\tPATH": none of them exists), or its refusal with exit 2.
struct ListCase {
    const char* name;
    std::string bytes;
    std::vector<std::wstring> paths;  // empty: refused
    std::wstring errorPart = L"";
    std::wstring encoding = L"";  // --list-encoding
};

std::string operator""_b(const char* text, std::size_t size) { return std::string(text, size); }

const ListCase kLists[] = {
    {"Utf8NoBom", "C:\\a.pst\nC:\\b.pst", {L"C:\\a.pst", L"C:\\b.pst"}},
    {"Utf8BomCrlfBlankComment",
     "\xEF\xBB\xBF# mail\r\n\r\n  C:\\\xD0\x9F.pst  \r\n\t\r\n",
     {L"C:\\\x41F.pst"}},
    {"Utf16LeBom",
     "\xFF\xFE"
     "C\0:\0\\\0\x1F\x4E.\0p\0s\0t\0\r\0\n\0"_b,
     {L"C:\\\x4E1F.pst"}},
    {"Utf16BeBom", "\xFE\xFF\0x\0.\0p\0s\0t"_b, {L"C:\\lists\\x.pst"}},
    {"Utf16LeNoBomAsCmdWritesIt",
     "\\\0\\\0s\0r\0v\0\\\0a\0\\\0\x1F\x4E.\0p\0s\0t\0\r\0\n\0D\0:\0\\\0b\0\r\0\n\0"_b,
     {L"\\\\srv\\a\\\x4E1F.pst", L"D:\\b"}},
    {"Utf16BeNoBom", "\0D\0:\0\\\0b\0.\0p\0s\0t"_b, {L"D:\\b.pst"}},
    {"QuotedFromExplorer", "\"C:\\My Mail\\a.pst\"\n", {L"C:\\My Mail\\a.pst"}},
    {"Variables",
     "%USERPROFILE%\\a.pst\n100%\\c.pst\n%%x.pst\nD:\\%%\\y.pst\n",
     {L"C:\\Users\\\x4F60\\a.pst", L"C:\\lists\\100%\\c.pst", L"C:\\lists\\%%x.pst",
      L"D:\\%%\\y.pst"}},
    {"HashInsideIsAPath", "C:\\#1\\a.pst\n  # indented comment\n", {L"C:\\#1\\a.pst"}},
    {"RelativeToTheListsFolder",
     "a.pst\r\nsub\\b.pst\r\n\\top.pst",
     {L"C:\\lists\\a.pst", L"C:\\lists\\sub\\b.pst", L"C:\\top.pst"}},
    {"RootWrittenOut", "D:\\\n", {L"D:\\"}},
    {"AnsiWhenSaid", "C:\\caf\xE9.pst", {L"C:\\caf\xE9.pst"}, L"", L"ansi"},
    {"OemWhenSaid", "C:\\caf\x82.pst", {L"C:\\caf\xE9.pst"}, L"", L"oem"},
    // Refused: nothing runs.
    {"PstGivenAsList", "!BDN\x01\x02\0\0\0\0SM"_b, {}, L"it is a PST file, not a list"},
    {"StrayNul", "C:\\a.pst\nC:\\b\0.pst"_b, {}, L"it holds NUL bytes"},
    {"NulCharacterInUtf16",
     "C\0:\0\\\0a\0\r\0\n\0\0\0b\0"_b,
     {},
     L"line 2 holds a control character (U+0000)"},
    {"ControlCharacter",
     "C:\\a.pst\r\nC:\\b\x07.pst",
     {},
     L"line 2 holds a control character (U+0007)"},
    {"OemBytesUnsaid", "C:\\a.pst\nC:\\caf\x82.pst", {}, L"line 2 is neither UTF-8 nor UTF-16"},
    {"NotInTheAnsiPage", "C:\\\x81.pst", {}, L"it is not text in the ANSI code page", L"ansi"},
    {"UndefinedVariable",
     "C:\\a.pst\n%UNDEF%\\..",
     {},
     L"line 2 uses %UNDEF%, which is not defined"},
    {"EmptyVariable", "%EMPTYVAR%\\", {}, L"line 1 uses %EMPTYVAR%, which is empty"},
    {"DriveRootThroughVariables",
     "%HOMEDRIVE%\\",
     {},
     L"line 1 becomes the root D:\\ only through"},
    {"ShareRootThroughVariables",
     "%ARCHIVE%\n",
     {},
     L"line 1 becomes the root \\\\srv\\share only"},
    {"DriveRelative", "D:mail.pst", {}, L"line 1 is relative to a drive's current folder"},
    {"OddUtf16",
     "\xFF\xFE"
     "a\0b"_b,
     {},
     L"line 1 ends in half a character"},
    {"OverSixteenMiB", std::string(16 * 1024 * 1024 + 1, 'a'), {}, L"it is over 16 MiB"},
};

TEST(CliListFile, PathsOfEachEncodingAndRefusals) {
    for (const ListCase& c : kLists) {
        CliRun run;
        run.variables = {{L"USERPROFILE", L"C:\\Users\\\x4F60"},
                         {L"EMPTYVAR", L""},
                         {L"HOMEDRIVE", L"D:"},
                         {L"ARCHIVE", L"\\\\srv\\share"}};
        run.files.contents[L"C:\\lists\\l.txt"] = c.bytes;
        std::vector<std::wstring> args{L"check", L"--from", L"C:\\lists\\l.txt"};
        if (!c.encoding.empty()) args.insert(args.end(), {L"--list-encoding", c.encoding});
        const int code = run.run(args);
        std::vector<std::wstring> expected;
        for (const std::wstring& path : c.paths) expected.push_back(L"problem\t" + path);
        EXPECT_EQ(code, c.paths.empty() ? 2 : 1) << c.name;
        EXPECT_EQ(run.results(), expected) << c.name;
        if (c.paths.empty() && !run.console.errLines.empty()) {
            EXPECT_NE(
                run.console.errLines[0].find(L"the list file C:\\lists\\l.txt: " + c.errorPart),
                std::wstring::npos)
                << c.name << ": " << run.console.errLines[0];
        }
    }
}

}  // namespace
}  // namespace pelorin::test
