// The verdict of pelorin-cli check from a file's facts, the CSV quoting of
// awkward paths, and the OneDrive folder test.
#include <gtest/gtest.h>

#include "cli/file_facts.h"
#include "support/pst_facts.h"

namespace pelorin::test {
namespace {

struct CheckCase {
    const char* name;
    cli::FileFacts facts;
    cli::Result result;
    std::wstring format;
    std::wstring reasonPart;
};

std::vector<CheckCase> checkCases() {
    using cli::Result;
    PstShape ost;
    ost.client[1] = 'O';
    const auto unread = [](cli::FileFacts& f) { f.headRead = false, f.head.clear(); };
    return {
        {"Unicode", factsOf(pstBytes()), Result::Ok, L"Unicode PST", L""},
        {"Ansi", factsOf(pstBytes({PstLayout::Ansi})), Result::Ok, L"ANSI PST", L""},
        {"Ost", factsOf(pstBytes(ost)), Result::Problem, L"OST", L"OST"},
        {"TextFile", factsOf({'h', 'e', 'l', 'l', 'o', 0, 0, 0, 0, 0, 0, 0}), Result::Problem,
         L"damaged", L"no PST signature"},
        {"FlippedByte", soundWith([](auto& f) { f.head[40] ^= 1; }), Result::Problem, L"damaged",
         L"checksum"},
        {"Truncated", soundWith([](auto& f) { f.size = 4096; }), Result::Problem, L"damaged",
         L"truncated"},
        {"Empty", factsOf({}), Result::Problem, L"damaged", L"shorter"},
        {"Missing", cli::FileFacts{}, Result::Problem, L"", L"file not found"},
        {"Unreadable", soundWith(unread), Result::Problem, L"", L"cannot be read"},
        {"ReadOnly", soundWith([](auto& f) { f.readOnly = true; }), Result::Problem, L"Unicode PST",
         L"read-only"},
        {"InUse", soundWith([](auto& f) { f.inUse = true; }), Result::Problem, L"Unicode PST",
         L"in use"},
        {"InUseUnshared", soundWith([&](auto& f) { unread(f), f.inUse = true; }), Result::Problem,
         L"", L"in use"},
        {"Network", soundWith([](auto& f) { f.network = true; }), Result::Warning, L"Unicode PST",
         L"network path"},
        {"OneDrive", soundWith([](auto& f) { f.oneDrive = true; }), Result::Warning, L"Unicode PST",
         L"OneDrive"},
    };
}

TEST(CliCheck, VerdictFromFacts) {
    for (const CheckCase& c : checkCases()) {
        const cli::FileRecord r = cli::checkRecord(L"x.pst", c.facts);
        EXPECT_EQ(r.result, c.result) << c.name << ": " << r.reason;
        EXPECT_EQ(r.format, c.format) << c.name;
        EXPECT_NE(r.reason.find(c.reasonPart), std::wstring::npos) << c.name << ": " << r.reason;
    }
}

TEST(CliCheck, SizeAgainstTheLimits) {
    const struct {
        PstLayout layout;
        std::int64_t size;
        cli::Result result;
    } cases[] = {
        {PstLayout::Ansi, pst::kAnsiWarn - 1, cli::Result::Ok},
        {PstLayout::Ansi, pst::kAnsiWarn, cli::Result::Warning},
        {PstLayout::Ansi, pst::kAnsiLimit, cli::Result::Problem},
        {PstLayout::Unicode, pst::kAnsiLimit * 2, cli::Result::Ok},
        {PstLayout::Unicode, pst::kUnicodeWarn, cli::Result::Warning},
        {PstLayout::Unicode, pst::kUnicodeLimit + 1, cli::Result::Problem},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cli::checkRecord(L"x.pst", factsOf(pstHeaderRecording(c.layout, c.size), c.size))
                      .result,
                  c.result)
            << c.size;
}

TEST(CliCheck, OneDriveFolderTest) {
    const struct {
        const wchar_t* path;
        const wchar_t* folder;
        bool inside;
    } cases[] = {
        {L"C:\\Users\\a\\OneDrive\\x.pst", L"C:\\Users\\a\\OneDrive", true},
        {L"c:\\users\\A\\onedrive\\sub\\x.pst", L"C:\\Users\\a\\OneDrive\\", true},
        {L"C:\\Users\\a\\OneDrive - Firm\\x.pst", L"C:\\Users\\a\\OneDrive", false},
        {L"C:\\Users\\a\\x.pst", L"C:\\Users\\a\\OneDrive", false},
        {L"C:\\x.pst", L"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(pst::insideFolder(c.path, c.folder), c.inside) << c.path;
}

}  // namespace
}  // namespace pelorin::test
