// pelorin-cli.exe over wildcards and over a run killed part-way: a pattern
// names the files of its folder by their long names (no 8.3 name lets
// "*.pst" find "a.pstx"), and the rows finished before a kill stay in the
// report's .partial file.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/handles_win.h"
#include "base/text.h"
#include "support/pst_files.h"
#include "support/temp_tree.h"
#include "win/cli_process_win.h"
#include "win/harness_win.h"

namespace pelorin::test {
namespace {

TEST(CliPaths, AWildcardNamesTheMatchingFilesOfItsFolder) {
    TempTree tree;
    for (const wchar_t* name : {L"in/a.pst", L"in/B.PST", L"in/sub/c.pst"}) {
        tree.file(name);
        writePst(tree.fsPath(name));
    }
    tree.file(L"in/a.pstx");
    tree.file(L"in/longername.pstx");  // 8.3 name LONGER~1.PST
    const std::wstring in = tree.path(L"in");
    EXPECT_TRUE(shortPath(tree.path(L"in/longername.pstx")).ends_with(L".PST"))
        << shortPath(tree.path(L"in/longername.pstx"));

    struct Case {
        std::vector<std::wstring> args;
        DWORD exitCode;
        std::vector<std::wstring> lines;
    };
    const Case cases[] = {
        {{L"check", in + L"\\*.pst"}, 0, {L"ok\t" + in + L"\\B.PST", L"ok\t" + in + L"\\a.pst"}},
        {{L"check", in + L"\\?.pst", in + L"\\*.msg"},
         1,
         {L"skipped\t" + in + L"\\*.msg\tno file matches", L"ok\t" + in + L"\\B.PST",
          L"ok\t" + in + L"\\a.pst"}},
        {{L"check", tree.path(L"i*\\a.pst")}, 2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        const Output run = runCli(tree, c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        std::vector<std::wstring> lines = run.lines();
        std::sort(lines.begin() + (c.exitCode == 1), lines.end());  // listing order aside
        EXPECT_EQ(lines, c.lines);
    }
}

// The lines `pipe` gives up to the `count`th, read one byte at a time so that
// nothing past that line is taken from the pipe.
std::vector<std::string> readLines(HANDLE pipe, std::size_t count) {
    std::vector<std::string> lines(1);
    char c = 0;
    DWORD got = 0;
    while (lines.size() <= count && ::ReadFile(pipe, &c, 1, &got, nullptr) && got == 1) {
        if (c == '\n')
            lines.emplace_back();
        else if (c != '\r')
            lines.back() += c;
    }
    lines.pop_back();
    return lines;
}

// The run is held on its own output: its stdout is a pipe the test stops
// reading, with far more lines to come than the pipe holds. Once line k+1 is
// read, rows 1..k are in REPORT.partial (each row is written after its line).
TEST(CliPaths, AKilledRunLeavesItsFinishedRowsInThePartialReport) {
    TempTree tree;
    const std::wstring padding(200, L'x');
    for (int i = 0; i < 300; ++i) tree.file(L"many/" + std::to_wstring(i) + padding + L".pst");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    ASSERT_TRUE(::CreatePipe(&readEnd, &writeEnd, &inherit, 0));
    const UniqueFile reader(readEnd);
    UniqueFile writer(writeEnd);
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    const std::wstring report = tree.path(L"r.csv");
    Started run = startCli(tree, {L"check", L"--report", report, tree.path(L"many")}, writeEnd);
    ASSERT_TRUE(run.process);
    writer.reset();

    constexpr std::size_t kFinished = 5;
    const std::vector<std::string> lines = readLines(readEnd, kFinished + 1);
    ASSERT_EQ(lines.size(), kFinished + 1);
    ::TerminateProcess(run.process.get(), 9);
    ASSERT_EQ(::WaitForSingleObject(run.process.get(), 60000), WAIT_OBJECT_0);

    EXPECT_EQ(::GetFileAttributesW(report.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::string partial = fileBytes(report + L".partial");
    ASSERT_TRUE(partial.ends_with("\r\n")) << partial;  // whole rows only
    std::vector<std::string> rows;
    for (std::size_t at = 0, end; (end = partial.find("\r\n", at)) != std::string::npos;
         at = end + 2)
        rows.push_back(partial.substr(at, end - at));
    ASSERT_GE(rows.size(), 1 + kFinished);
    EXPECT_LT(rows.size(), 300u);
    for (std::size_t i = 0; i < kFinished; ++i) {
        const std::string path = lines[i].substr(lines[i].find('\t') + 1);
        EXPECT_TRUE(rows[i + 1].starts_with(path.substr(0, path.find('\t')) + ",")) << rows[i + 1];
    }
}

}  // namespace
}  // namespace pelorin::test
