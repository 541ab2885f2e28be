// The profile's health through pelorin-cli.exe against the stand-in, which
// holds its stores' files open as Outlook does: list with a missing and a
// damaged store, detach --missing, and attach refusing an ANSI PST at its
// size limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "pst/file_facts.h"
#include "support/pst_files.h"
#include "support/temp_tree.h"
#include "win/cli_process_win.h"
#include "win/harness_win.h"

namespace pelorin::test {
namespace {

// The line of `path` in the output, or empty.
std::wstring lineOf(const Output& run, const std::wstring& path) {
    for (const std::wstring& line : run.lines())
        if (line.find(L"\t" + path + L"\t") != std::wstring::npos) return line;
    return {};
}

TEST(CliExeHealth, ListDetachMissingAndTheAnsiLimit) {
    StandinTurn turn;
    if (!standinRegistered()) GTEST_SKIP() << "the stand-in Outlook is not registered";
    TempTree tree;
    std::vector<std::wstring> paths;
    for (const wchar_t* name : {L"a.pst", L"gone.pst", L"bad.pst", L"far/far.pst"}) {
        tree.file(name);
        paths.push_back(writePst(tree.fsPath(name)).wstring());
    }
    const std::wstring &a = paths[0], &gone = paths[1], &bad = paths[2], &away = paths[3];
    std::vector<std::wstring> attach = {L"attach"};
    attach.insert(attach.end(), paths.begin(), paths.end());
    ASSERT_EQ(runCli(tree, attach).exitCode, 0u);
    ASSERT_TRUE(standinGone()) << "the stand-in still holds the files";
    tree.remove(L"gone.pst");
    tree.remove(L"far");
    std::vector<std::uint8_t> flipped = pstBytes();
    flipped[100] ^= 1;
    writeBytes(tree.fsPath(L"bad.pst"), flipped);

    Output run = runCli(tree, {L"list"});
    EXPECT_EQ(run.exitCode, 1u) << run.err;
    EXPECT_EQ(lineOf(run, a).rfind(L"ok\t", 0), 0u) << run.out;
    EXPECT_NE(lineOf(run, a).find(L", 8192 bytes, in use by Outlook"), std::wstring::npos);
    EXPECT_EQ(lineOf(run, gone), L"missing\t" + gone + L"\tpst: gone; file not found");
    EXPECT_EQ(lineOf(run, bad), L"damaged\t" + bad +
                                    L"\tpst: bad, damaged, 8192 bytes; damaged: header checksum "
                                    L"does not match");
    EXPECT_EQ(lineOf(run, away),
              L"missing\t" + away + L"\tpst: far; folder not found (a drive not mapped yet?)");
    // Outlook holds the files it has open: already, not "in use".
    run = runCli(tree, {L"attach", a});
    EXPECT_EQ(run.out, L"already\t" + a + L"\talready in Outlook\r\n");

    run = runCli(tree, {L"detach", L"--missing"});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(lineOf(run, gone), L"detached\t" + gone + L"\tfile not found");
    EXPECT_EQ(lineOf(run, away),
              L"skipped\t" + away + L"\tkept: folder not found (a drive not mapped yet?)");

    // An ANSI PST of exactly its limit, as a sparse file, never reaches Outlook.
    tree.file(L"big.pst");
    writeBytes(tree.fsPath(L"big.pst"), pstHeaderRecording(PstLayout::Ansi, pst::kAnsiLimit));
    std::filesystem::resize_file(tree.fsPath(L"big.pst"), pst::kAnsiLimit);
    const std::wstring big = tree.path(L"big.pst");
    std::filesystem::remove(standinFile(L"calls.log"));
    run = runCli(tree, {L"attach", big});
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.out, L"failed\t" + big + L"\tsize 1.9 GB over the ANSI limit of 1.9 GB\r\n");
    const std::vector<std::wstring> calls = standinCalls();
    EXPECT_TRUE(std::none_of(calls.begin(), calls.end(), [&](const std::wstring& call) {
        return call.find(big) != std::wstring::npos;
    }));
    forgetStoresUnder(tree.path());
    EXPECT_TRUE(standinGone());
}

}  // namespace
}  // namespace pelorin::test
