// pelorin-cli.exe's --log and --json under Wine: runs appending to one log
// at once, and JSON lines in ASCII for any path.
#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/pst_files.h"
#include "support/temp_tree.h"
#include "win/cli_process_win.h"

namespace pelorin::test {
namespace {

std::vector<std::string> logLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Two runs started together append their lines to one log, each line whole;
// a read-only log stops a run before it does anything.
TEST(CliLog, TwoRunsAppendToOneLog) {
    TempTree tree;
    std::vector<std::wstring> args = {L"check", L"--log", tree.path(L"logs\\help desk.log")};
    for (int i = 0; i < 20; ++i) {
        const std::wstring name = L"p" + std::to_wstring(i) + L".pst";
        tree.file(name);
        writePst(tree.fsPath(name), {});
        args.push_back(tree.path(name));
    }
    tree.folder(L"logs");
    Started first = startCli(tree, args), second = startCli(tree, args);
    ASSERT_TRUE(first.process && second.process);
    EXPECT_EQ(first.finish().exitCode, 0u);
    EXPECT_EQ(second.finish().exitCode, 0u);

    const std::string log = fileBytes(tree.path(L"logs\\help desk.log"));
    EXPECT_FALSE(log.starts_with("\xEF\xBB\xBF"));
    const std::vector<std::string> lines = logLines(log);
    ASSERT_EQ(lines.size(), 2u * 22u) << log;
    int starts = 0, ends = 0, oks = 0;
    for (const std::string& line : lines) {
        // 2026-12-07T21:40:00+01:00<TAB>...<CR>
        ASSERT_TRUE(line.size() > 26 && line[10] == 'T' && line[25] == '\t' && line.back() == '\r')
            << line;
        const std::string rest = line.substr(26);
        starts += rest.starts_with("start\t");
        ends += rest == "end\texit 0\t20 checked: 20 ok\r";
        oks += rest.starts_with("ok\t") && rest.ends_with(".pst\t\t\r");
    }
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(ends, 2) << log;
    EXPECT_EQ(oks, 40) << log;

    const std::wstring readOnly = tree.path(L"logs\\help desk.log");
    ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    const Output refused = runCli(tree, args);
    ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(refused.exitCode, 2u);
    EXPECT_EQ(refused.out, L"");
    EXPECT_NE(refused.err.find(L"cannot be opened for appending"), std::wstring::npos)
        << refused.err;
    EXPECT_EQ(fileBytes(readOnly), log);
}

// --json through the real program: ASCII lines, the Cyrillic and CJK names
// as escapes, and the summary object last.
TEST(CliJson, RealExeWritesAsciiLines) {
    TempTree tree;
    const std::wstring name = L"\x410\x440\x445\x438\x432 \x90AE\x4EF6.pst";
    tree.file(name);
    writePst(tree.fsPath(name), {});
    const Output run = runCli(tree, {L"check", L"--json", tree.path(name)});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.err, L"");
    std::wstring path = tree.path(L"x");
    path.pop_back();  // the folder, with its separator
    std::wstring escaped;
    for (const wchar_t c : path) escaped += c == L'\\' ? std::wstring(L"\\\\") : std::wstring(1, c);
    EXPECT_EQ(
        run.lines(),
        (std::vector<std::wstring>{
            L"{\"path\":\"" + escaped +
                L"\\u0410\\u0440\\u0445\\u0438\\u0432 \\u90ae\\u4ef6.pst\",\"size_bytes\":8192,"
                L"\"format\":\"Unicode PST\",\"result\":\"ok\",\"reason\":null,\"hresult\":null}",
            L"{\"summary\":\"1 checked: 1 ok\",\"exit_code\":0}"}));
    for (const wchar_t c : run.out) EXPECT_LT(static_cast<unsigned>(c), 0x80u);
}

}  // namespace
}  // namespace pelorin::test
