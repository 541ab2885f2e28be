// pelorin-cli.exe itself, run as a separate process with its output
// redirected: the checks over crafted files, attach runs against the
// stand-in Outlook, paths in any script through stdout and the CSV, and
// exit code 3 when no Outlook is registered.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <cwchar>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/handles_win.h"
#include "base/text.h"
#include "cli/code_page_win.h"
#include "support/pst_files.h"
#include "support/temp_tree.h"
#include "win/cli_process_win.h"
#include "win/harness_win.h"

namespace pelorin::test {
namespace {

class CliExe : public testing::Test {
protected:
    void TearDown() override {
        for (const auto& f : readOnly_) ::SetFileAttributesW(f.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::wstring pst(const std::wstring& name, const PstShape& shape = {}) {
        tree.file(name);
        return writePst(tree.fsPath(name), shape).wstring();
    }
    std::wstring damaged(const std::wstring& name) {
        std::vector<std::uint8_t> bytes = pstBytes();
        bytes[100] ^= 1;
        tree.file(name);
        writeBytes(tree.fsPath(name), bytes);
        return tree.path(name);
    }
    std::wstring readOnly(std::wstring path) {
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
        readOnly_.push_back(path);
        return path;
    }
    TempTree tree;

private:
    std::vector<std::wstring> readOnly_;
};

std::vector<std::wstring> sorted(std::vector<std::wstring> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST_F(CliExe, CheckOverCraftedFiles) {
    PstShape ost;
    ost.client[1] = 'O';
    const std::wstring unicode = pst(L"mail/unicode.pst");
    const std::wstring ansi = pst(L"mail/ansi.pst", {PstLayout::Ansi});
    const std::wstring scripts = pst(L"mail/\x41F\x43E\x447\x442\x430/\x90AE\x4EF6.pst");
    const std::wstring offline = pst(L"mail/offline.pst", ost);
    const std::wstring flipped = damaged(L"mail/flipped.pst");
    const std::wstring locked = readOnly(pst(L"mail/readonly.pst"));
    const std::wstring held = pst(L"mail/held.pst");
    const UniqueFile holder(::CreateFileW(held.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);

    const std::wstring synced = pst(L"mail/OneDrive/s.pst");
    ::SetEnvironmentVariableW(L"OneDrive", tree.path(L"mail/OneDrive").c_str());

    const std::wstring report = tree.path(L"report.csv");
    const Output run = runCli(tree, {L"check", L"--report", report, tree.path(L"mail")});
    ::SetEnvironmentVariableW(L"OneDrive", nullptr);
    EXPECT_EQ(run.exitCode, 1u) << run.err;
    EXPECT_EQ(sorted(run.lines()),
              sorted({L"ok\t" + unicode, L"ok\t" + ansi, L"ok\t" + scripts,
                      L"problem\t" + offline + L"\tan OST (offline copy of a mailbox), not a PST",
                      L"problem\t" + flipped + L"\tdamaged: header checksum does not match",
                      L"problem\t" + locked + L"\tread-only",
                      L"problem\t" + held + L"\tin use by another program",
                      L"warning\t" + synced + L"\tin a OneDrive-synced folder"}));
    EXPECT_NE(run.err.find(L"8 checked: 3 ok, 1 with warnings, 4 with problems"),
              std::wstring::npos)
        << run.err;
    const std::string csv = fileBytes(report);
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBFpath,size_bytes,format,result,reason,hresult\r\n", 0), 0u);
    EXPECT_NE(csv.find(toUtf8(scripts) + ",8192,Unicode PST,ok,,\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find(toUtf8(ansi) + ",8192,ANSI PST,ok,,\r\n"), std::string::npos) << csv;
}

TEST_F(CliExe, AttachRunsAgainstTheStandin) {
    StandinTurn turn;
    if (!standinRegistered()) GTEST_SKIP() << "the stand-in Outlook is not registered";
    const std::wstring a = pst(L"tree/a.pst"), b = pst(L"tree/2019/b.pst");
    const std::wstring c = pst(L"tree/\x41F\x43E\x447\x442\x430 \x90AE\x4EF6/c.pst");
    Output run = runCli(tree, {L"attach", tree.path(L"tree")});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(sorted(run.lines()),
              sorted({L"attached\t" + a, L"attached\t" + b, L"attached\t" + c}));
    EXPECT_EQ(run.err, L"3 of 3 attached\r\n");  // no progress into a file
    run = runCli(tree, {L"attach", tree.path(L"tree")});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(sorted(run.lines()), sorted({L"already\t" + a + L"\talready in Outlook",
                                           L"already\t" + b + L"\talready in Outlook",
                                           L"already\t" + c + L"\talready in Outlook"}));

    // Without --continue the run stops at the damaged file.
    const std::wstring bad = damaged(L"more/bad.pst");
    const std::wstring d = pst(L"more/d.pst"), e = pst(L"more/e.pst");
    run = runCli(tree, {L"attach", d, bad, e});
    EXPECT_EQ(run.exitCode, 1u);
    ASSERT_EQ(run.lines().size(), 3u);
    EXPECT_EQ(run.lines()[0], L"attached\t" + d);
    EXPECT_TRUE(run.lines()[1].starts_with(L"failed\t" + bad + L"\t")) << run.lines()[1];
    EXPECT_EQ(run.lines()[2], L"skipped\t" + e + L"\tnot tried: an earlier file failed");

    // With it, every file is tried and the report says why the one failed.
    const std::wstring report = tree.path(L"attach.csv");
    run = runCli(tree, {L"attach", L"--continue", L"--report", report, bad, e});
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.lines().at(1), L"attached\t" + e);
    const std::string csv = fileBytes(report);
    EXPECT_NE(csv.find(toUtf8(bad) + ",8192,damaged,failed,"), std::string::npos) << csv;
    EXPECT_NE(csv.find("checksum does not match"), std::string::npos) << csv;
    forgetStoresUnder(tree.path());
}

// An AddStore that Outlook does not answer (a prompt it shows) is given up
// after --timeout: that file is "stopped" and the run ends there; Outlook
// may still add it, and the next run finds it "already" there.
TEST_F(CliExe, AWaitOnOutlookIsGivenUpAfterTheTimeout) {
    StandinTurn turn;
    if (!standinRegistered()) GTEST_SKIP() << "the stand-in Outlook is not registered";
    const std::wstring a = pst(L"a.pst"), b = pst(L"b.pst");
    {
        StandinSetting block(L"block-addstore-ms", "4000");
        const ULONGLONG start = ::GetTickCount64();
        const Output run = runCli(tree, {L"attach", L"--timeout", L"1", a, b});
        RecordProperty("given_up_after_ms", static_cast<int>(::GetTickCount64() - start));
        EXPECT_EQ(run.exitCode, 1u) << run.err;
        EXPECT_EQ(run.lines(),
                  (std::vector<std::wstring>{
                      L"stopped\t" + a + L"\tstopped waiting; Outlook may still add it",
                      L"skipped\t" + b + L"\tnot tried: an earlier file failed"}));
        EXPECT_NE(run.err.find(L"0 of 2 attached, 1 stopped waiting, 1 skipped"),
                  std::wstring::npos)
            << run.err;
        EXPECT_TRUE(standinGone());
    }
    const Output again = runCli(tree, {L"attach", a, b});
    EXPECT_EQ(again.lines(), (std::vector<std::wstring>{L"already\t" + a + L"\talready in Outlook",
                                                        L"attached\t" + b}));
    forgetStoresUnder(tree.path());
}

// detach --all leaves only the default store, which is refused by name; list
// shows what is left. The turn keeps other tests' stores out meanwhile.
TEST_F(CliExe, DetachAllThenListAndTheDefaultStoreRefused) {
    StandinTurn turn;
    if (!standinRegistered()) GTEST_SKIP() << "the stand-in Outlook is not registered";
    const std::wstring a = pst(L"a.pst"), b = pst(L"b.pst");
    ASSERT_EQ(runCli(tree, {L"attach", a, b}).exitCode, 0u);
    Output run = runCli(tree, {L"list"});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.out.find(L"ok\t" + b + L"\tpst: b, Unicode PST, 8192 bytes"), std::wstring::npos)
        << run.out;

    run = runCli(tree, {L"detach", L"--all"});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.out.find(L"detached\t" + b + L"\r\n"), std::wstring::npos) << run.out;
    run = runCli(tree, {L"list"});
    ASSERT_EQ(run.lines().size(), 1u) << run.out;
    const std::wstring line = run.lines()[0];  // result, path, what the store is
    const size_t path = line.find(L'\t') + 1;
    const std::wstring kept = line.substr(path, line.find(L'\t', path) - path);
    EXPECT_NE(run.lines()[0].find(L"\tpst (default): "), std::wstring::npos) << run.out;

    run = runCli(tree, {L"detach", kept});
    EXPECT_EQ(run.exitCode, 1u) << run.err;
    EXPECT_EQ(run.out, L"failed\t" + kept + L"\trefused: the profile's default store\r\n");
    forgetStoresUnder(tree.path());
}

// The \\?\ form and the 8.3 name of a file name that file: checked once,
// and already in Outlook once it is attached.
TEST_F(CliExe, OneFileUnderAnySpellingCountsOnce) {
    StandinTurn turn;
    if (!standinRegistered()) GTEST_SKIP() << "the stand-in Outlook is not registered";
    const std::wstring file = pst(L"Archive 2019.pst");
    const std::wstring prefixed = L"\\\\?\\" + file, shortName = shortPath(file);
    ASSERT_NE(shortName, file);
    Output run = runCli(tree, {L"check", file, prefixed, shortName});
    EXPECT_EQ(run.lines(), std::vector<std::wstring>{L"ok\t" + file});
    EXPECT_EQ(runCli(tree, {L"attach", file}).exitCode, 0u);
    for (const std::wstring& spelling : {prefixed, shortName}) {
        run = runCli(tree, {L"attach", spelling});
        EXPECT_EQ(run.exitCode, 0u) << run.err;
        EXPECT_EQ(run.out, L"already\t" + spelling + L"\talready in Outlook\r\n");
    }
    forgetStoresUnder(tree.path());
}

// A name Outlook would open without its trailing space never reaches
// AddStore; an AddStore Outlook answers without adding the file fails.
TEST_F(CliExe, OddNamesAndIgnoredAddStoresFail) {
    StandinTurn turn;
    if (!standinRegistered()) GTEST_SKIP() << "the stand-in Outlook is not registered";
    tree.folder(L"odd");
    const std::wstring spaced = tree.path(L"odd/x.pst ");
    const OddPst file(spaced);
    const std::wstring ignored = pst(L"ignored.pst");
    std::ofstream(standinFile(L"ignore-addstore"), std::ios::binary) << "ignored.pst\n";
    const Output run = runCli(tree, {L"attach", L"--continue", tree.path(L"odd"), ignored});
    std::filesystem::remove(standinFile(L"ignore-addstore"));
    EXPECT_EQ(run.exitCode, 1u) << run.err;
    EXPECT_EQ(run.lines(),
              (std::vector<std::wstring>{
                  L"failed\t" + spaced + L"\tthe name ends in a space or a dot; rename the file",
                  L"failed\t" + ignored + L"\tOutlook did not add the file"}));
    EXPECT_FALSE(std::filesystem::exists(tree.fsPath(L"odd/x.pst")));
    forgetStoresUnder(tree.path());
}

// A machine whose Outlook.Application names a class that is not there, as
// with only the new Outlook: the registration points elsewhere for the
// length of the run (the stand-in tests wait their turn meanwhile).
class OutlookClassMissing {
public:
    OutlookClassMissing() {
        DWORD size = sizeof saved_;
        ok_ = ::RegGetValueW(HKEY_LOCAL_MACHINE, kKey, nullptr, RRF_RT_REG_SZ, nullptr, saved_,
                             &size) == ERROR_SUCCESS &&
              set(L"{5E1A7C2B-0000-4C11-9D0E-5E1A7C2B0000}");
    }
    ~OutlookClassMissing() {
        if (ok_) set(saved_);
    }
    bool ok() const { return ok_; }

private:
    static constexpr wchar_t kKey[] = L"Software\\Classes\\Outlook.Application\\CLSID";
    static bool set(const wchar_t* clsid) {
        return ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, nullptr, REG_SZ, clsid,
                                 static_cast<DWORD>((wcslen(clsid) + 1) * sizeof(wchar_t))) ==
               ERROR_SUCCESS;
    }
    wchar_t saved_[64]{};
    bool ok_ = false;
};

TEST_F(CliExe, ExitCode3WithoutOutlook) {
    StandinTurn turn;
    if (!standinRegistered()) GTEST_SKIP() << "the stand-in Outlook is not registered";
    const std::wstring file = pst(L"a.pst");
    Output run;
    {
        OutlookClassMissing missing;
        ASSERT_TRUE(missing.ok());
        run = runCli(tree, {L"attach", file});
    }
    EXPECT_EQ(run.exitCode, 3u) << run.err;
    EXPECT_NE(run.err.find(L"not installed"), std::wstring::npos) << run.err;
    EXPECT_EQ(run.out, L"");
}

void writeText(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// List files as cmd, PowerShell and a hurried hand write them are read as
// meant; a PST given as the list is refused before anything runs.
TEST_F(CliExe, ListFilesAsTheyAreWritten) {
    const std::wstring a = pst(L"mail/a.pst"), cafe = pst(L"mail/caf\xE9.pst");
    std::string utf16;  // as `cmd /u /c dir /b` writes it: no byte-order mark
    for (wchar_t c : a + L"\r\n") utf16 += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    const std::pair<std::string, std::wstring> cases[] = {
        {utf16, a}, {"..\\mail\\a.pst\r\n", a}, {"..\\mail\\caf\xE9.pst", cafe}};
    const std::wstring list = tree.path(L"lists/l.txt");
    for (const auto& [bytes, file] : cases) {
        writeText(tree.fsPath(L"lists/l.txt"), bytes);
        const Output run = runCli(tree, {L"check", L"--list-encoding", L"ansi", L"--from", list});
        EXPECT_EQ(run.exitCode, 0u) << run.err;
        EXPECT_EQ(run.out, L"ok\t" + file + L"\r\n");
    }
    const Output run = runCli(tree, {L"check", L"--from", a});
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_EQ(run.out, L"");
    EXPECT_NE(run.err.find(L"it is a PST file, not a list of paths"), std::wstring::npos)
        << run.err;
}

// A list that cannot be read to its end (its second half locked by another
// process) is an error, never a shorter list.
TEST_F(CliExe, ListReadErrorPartWayIsAnError) {
    const std::wstring list = tree.path(L"l.txt"), a = pst(L"a.pst");
    writeText(tree.fsPath(L"l.txt"), toUtf8(a) + "\r\n" + std::string(100'000, '#'));
    const UniqueFile holder(::CreateFileW(list.c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder && ::LockFile(holder.get(), 70'000, 0, 1'000, 0));
    const Output run = runCli(tree, {L"check", L"--from", list});
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_EQ(run.out, L"");
    EXPECT_NE(run.err.find(L"it cannot be read"), std::wstring::npos) << run.err;
}

// The code pages of --list-encoding, each set explicitly: Western and
// Cyrillic ANSI and OEM pages, and a byte with no character in its page.
TEST(CliCodePage, ListBytesInExplicitCodePages) {
    const struct {
        unsigned codePage;
        std::string bytes;
        std::optional<std::wstring> text;
    } cases[] = {
        {1252, "caf\xE9", L"caf\xE9"},
        {850, "caf\x82", L"caf\xE9"},
        {1251, "\xCF\xEE\xF7\xF2\xE0", L"\x41F\x43E\x447\x442\x430"},
        {866, "\x8F\xAE\xE7\xE2\xA0", L"\x41F\x43E\x447\x442\x430"},
        {932, "a\x81", std::nullopt},  // a lead byte without its second byte
    };
    for (const auto& c : cases)
        EXPECT_EQ(cli::decodeCodePage(c.bytes, c.codePage), c.text) << c.codePage;
}

// The report never replaces a file it was not meant for: a PST named where
// the report's name was forgotten stays as it was.
TEST_F(CliExe, ReportTargetCheckedAndMovedIntoPlace) {
    const std::wstring a = pst(L"a.pst"), b = pst(L"b.pst");
    Output run = runCli(tree, {L"check", L"--report", b, a});
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.err.find(L"names a PST or OST file"), std::wstring::npos) << run.err;
    EXPECT_EQ(fileBytes(b), fileBytes(a));

    // A folder that does not exist yet is made; no .partial is left behind.
    const std::wstring report = tree.path(L"new/Pelorin/r.csv");
    run = runCli(tree, {L"check", L"--report", report, a});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(fileBytes(report).find(toUtf8(a) + ",8192,Unicode PST,ok,,\r\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(tree.fsPath(L"new/Pelorin/r.csv.partial")));

    // Open in a spreadsheet: the earlier report stays whole, the new one
    // waits in .partial, and the run does not end in 0.
    const std::string earlier = fileBytes(report);
    {
        const UniqueFile open(::CreateFileW(report.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(open);
        run = runCli(tree, {L"check", L"--report", report, b});
    }
    EXPECT_EQ(run.exitCode, 1u) << run.err;
    EXPECT_NE(run.err.find(L"cannot replace the report " + report), std::wstring::npos) << run.err;
    EXPECT_EQ(fileBytes(report), earlier);
    EXPECT_NE(fileBytes(report + L".partial").find(toUtf8(b)), std::string::npos);
}

// A folder Wine cannot list: a chain of folders with long names whose host
// path passes the host's 4096-byte limit part-way down. Built with short
// names and renamed from the bottom up (each rename's own path stays short),
// and renamed back from the top before the tree is removed.
class TooDeepForTheHost {
public:
    static constexpr int kLevels = 18;
    explicit TooDeepForTheHost(const std::wstring& root) : root_(root) {
        std::wstring path = root_;
        for (int i = 0; i < kLevels; ++i) ::CreateDirectoryW((path += L"\\d").c_str(), nullptr);
        for (int i = kLevels; i > 0; --i) rename(i, L"d", longName(i));
    }
    ~TooDeepForTheHost() {
        for (int i = 1; i <= kLevels; ++i) rename(i, longName(i), L"d");
    }

private:
    static std::wstring longName(int level) {
        return std::to_wstring(level) + std::wstring(230, L'x');
    }
    // Renames the folder at `level`, its parents having their short names.
    void rename(int level, const std::wstring& from, const std::wstring& to) {
        std::wstring parent = root_;
        for (int i = 1; i < level; ++i) parent += L"\\d";
        ::MoveFileW((parent + L"\\" + from).c_str(), (parent + L"\\" + to).c_str());
    }
    std::wstring root_;
};

// A folder that cannot be read keeps its line, is counted in the summary and
// fails the run.
TEST_F(CliExe, UnreadableFolderFailsTheRun) {
    StandinTurn turn;
    if (!standinRegistered()) GTEST_SKIP() << "the stand-in Outlook is not registered";
    const std::wstring a = pst(L"tree/a.pst");
    const TooDeepForTheHost deep(tree.path(L"tree"));
    const Output run = runCli(tree, {L"attach", tree.path(L"tree")});
    EXPECT_EQ(run.exitCode, 1u) << run.err;
    EXPECT_EQ(run.lines().back(), L"attached\t" + a);
    EXPECT_TRUE(run.lines().front().starts_with(L"skipped\t" + tree.path(L"tree"))) << run.out;
    EXPECT_TRUE(run.lines().front().ends_with(L"\tfolder could not be read")) << run.out;
    EXPECT_EQ(run.err, L"1 of 1 attached, 1 folder could not be read\r\n");
    forgetStoresUnder(tree.path());
}

// A dry run goes through every file and counts each as it is; a Windows
// switch that names no path is a usage error, never "not in Outlook".
TEST_F(CliExe, DryRunCountsEachFileAndSlashSwitchesAreRefused) {
    StandinTurn turn;
    if (!standinRegistered()) GTEST_SKIP() << "the stand-in Outlook is not registered";
    const std::wstring a = pst(L"a.pst"), b = pst(L"b.pst"), bad = damaged(L"bad.pst");
    ASSERT_EQ(runCli(tree, {L"attach", b}).exitCode, 0u);
    Output run = runCli(tree, {L"attach", L"--dry-run", bad, a, b});
    EXPECT_EQ(run.exitCode, 1u) << run.err;
    ASSERT_EQ(run.lines().size(), 3u) << run.out;
    EXPECT_EQ(run.lines()[1], L"skipped\t" + a + L"\tdry run: would be attached");
    EXPECT_EQ(run.lines()[2], L"already\t" + b + L"\talready in Outlook");
    EXPECT_EQ(run.err, L"dry run: 1 of 3 would be attached, 1 already in Outlook, 1 failed\r\n");

    run = runCli(tree, {L"detach", L"/all"});
    EXPECT_EQ(run.exitCode, 2u) << run.err;
    EXPECT_NE(run.err.find(L"unknown option /all"), std::wstring::npos) << run.err;
    EXPECT_EQ(run.out, L"");
    forgetStoresUnder(tree.path());
}

}  // namespace
}  // namespace pelorin::test
