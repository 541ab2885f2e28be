// pelorin-cli.exe over wildcards and over a run killed part-way: a pattern
// names the files of its folder by their long names (no 8.3 name lets
// "*.pst" find "a.pstx"), and the rows finished before a kill stay in the
// report's .partial file.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <sstream>
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
    tree.file(L"in/longername.pstx");
    EXPECT_TRUE(shortPath(tree.path(L"in/longername.pstx")).ends_with(L".PST"));
    const std::wstring in = tree.path(L"in\\");
    const std::vector<std::wstring> both = {L"ok\t" + in + L"B.PST", L"ok\t" + in + L"a.pst"};
    const struct {
        std::vector<std::wstring> args;
        DWORD exitCode;
        std::vector<std::wstring> lines;  // sorted
    } cases[] = {
        {{L"check", in + L"*.pst"}, 0, both},
        {{L"check", in + L"?.pst", in + L"*.msg"},
         1,
         {both[0], both[1], L"skipped\t" + in + L"*.msg\tno file matches"}},
        {{L"check", tree.path(L"i*\\a.pst")}, 2, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        const Output run = runCli(tree, c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        std::vector<std::wstring> lines = run.lines();
        std::sort(lines.begin(), lines.end());  // the listing's order aside
        EXPECT_EQ(lines, c.lines);
    }
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

    // One byte at a time: nothing past line k+1 is taken from the pipe.
    constexpr int kFinished = 5;
    std::string out;
    char c = 0;
    DWORD got = 0;
    while (std::count(out.begin(), out.end(), '\n') <= kFinished &&
           ::ReadFile(readEnd, &c, 1, &got, nullptr) && got == 1)
        out += c;
    ::TerminateProcess(run.process.get(), 9);
    ASSERT_EQ(::WaitForSingleObject(run.process.get(), 60000), WAIT_OBJECT_0);

    EXPECT_EQ(::GetFileAttributesW(report.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::string partial = fileBytes(report + L".partial");
    EXPECT_TRUE(partial.ends_with("\r\n"));  // whole rows only
    std::istringstream lines(out);
    std::size_t at = 0;
    for (int i = 0; i < kFinished; ++i) {  // each finished row, in order
        std::string result, path;
        std::getline(lines, result, '\t');
        std::getline(lines, path, '\t');
        lines.ignore(1 << 16, '\n');
        at = partial.find("\r\n" + path + ",", at);
        ASSERT_NE(at, std::string::npos) << path << "\n" << partial;
    }
}

}  // namespace
}  // namespace pelorin::test
