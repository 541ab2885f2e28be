// The row `list` gives each store from its file's facts, and what attach
// makes of a file's facts: refused, attached with a warning, or already.
#include <gtest/gtest.h>

#include "cli/store_health.h"
#include "support/cli_fakes.h"
#include "support/pst_files.h"

namespace pelorin::test {
namespace {

using cli::Result;

cli::FileFacts factsOf(std::vector<std::uint8_t> bytes, std::int64_t size = 0) {
    cli::FileFacts f;
    f.exists = f.headRead = true;
    f.size = size ? size : static_cast<std::int64_t>(bytes.size());
    bytes.resize(std::min<std::size_t>(bytes.size(), 564));
    f.head = std::move(bytes);
    return f;
}

cli::FileFacts absent(pst::Absence absence) {
    cli::FileFacts f;
    f.absence = absence;
    return f;
}

TEST(CliHealth, EachStoresRow) {
    const cli::Store pst{L"Archive", L"C:\\a.pst", true, false};
    const cli::Store ost{L"Offline", L"C:\\o.ost", false, false};
    cli::FileFacts held = factsOf(pstBytes());  // Outlook holds it without sharing
    held.head.clear(), held.headRead = false, held.inUse = true;
    cli::FileFacts unreadable = factsOf(pstBytes());
    unreadable.head.clear(), unreadable.headRead = false;
    cli::FileFacts flipped = factsOf(pstBytes());
    flipped.head[40] ^= 1;
    const struct {
        const char* name;
        cli::Store store;
        cli::FileFacts facts;
        Result result;
        std::wstring reason;
    } cases[] = {
        {"sound", pst, factsOf(pstBytes()), Result::Ok, L"pst: Archive, Unicode PST, 8192 bytes"},
        {"held by Outlook", pst, held, Result::Ok, L"pst: Archive, 8192 bytes, in use by Outlook"},
        {"gone", pst, absent(pst::Absence::FileNotFound), Result::Missing,
         L"pst: Archive; file not found"},
        {"share down", pst, absent(pst::Absence::Unreachable), Result::Missing,
         L"pst: Archive; network path not found (a share that is down?)"},
        {"checksum", pst, flipped, Result::Damaged,
         L"pst: Archive, damaged, 8192 bytes; damaged: header checksum does not match"},
        {"cannot be read", pst, unreadable, Result::Damaged,
         L"pst: Archive, 8192 bytes; cannot be read"},
        {"ost gone", ost, absent(pst::Absence::FileNotFound), Result::Missing,
         L"store: Offline; file not found"},
        {"ost there", ost, factsOf(pstBytes()), Result::Ok, L"store: Offline"},
        {"mailbox", {L"Mailbox", L"", false, true}, {}, Result::Ok, L"store (default): Mailbox"},
        {"unreadable store",
         {L"", L"", false, false, L"broken (0x80004005)"},
         {},
         Result::Damaged,
         L"store: ; Outlook cannot read the store: broken (0x80004005)"},
    };
    for (const auto& c : cases) {
        const cli::FileRecord r = cli::storeHealth(c.store, c.facts);
        EXPECT_EQ(r.result, c.result) << c.name;
        EXPECT_EQ(r.reason, c.reason) << c.name;
    }
}

// One file through attach: its facts decide before Outlook is asked.
TEST(CliHealth, AttachDecidesFromTheFacts) {
    const auto sized = [](PstLayout layout, std::int64_t size) {
        return factsOf(pstHeaderRecording(layout, static_cast<std::uint64_t>(size)), size);
    };
    const auto with = [](auto change) {
        cli::FileFacts f = factsOf(pstBytes());
        change(f);
        return f;
    };
    const struct {
        const char* name;
        cli::FileFacts facts;
        bool inProfile;
        std::wstring line;
    } cases[] = {
        {"ANSI at its limit", sized(PstLayout::Ansi, pst::kAnsiLimit), false,
         L"failed\tC:\\x.pst\tsize 1.9 GB over the ANSI limit of 1.9 GB"},
        {"ANSI just under", sized(PstLayout::Ansi, pst::kAnsiWarn - 1), false,
         L"attached\tC:\\x.pst"},
        {"Unicode past the ANSI limit", sized(PstLayout::Unicode, pst::kAnsiLimit * 2), false,
         L"attached\tC:\\x.pst"},
        {"network path", with([](auto& f) { f.network = true; }), false,
         L"attached\tC:\\x.pst\ton a network path (Outlook does not support PSTs on shares)"},
        {"OneDrive", with([](auto& f) { f.oneDrive = true; }), false,
         L"attached\tC:\\x.pst\tin a OneDrive-synced folder"},
        {"held by Outlook", with([](auto& f) { f.inUse = true; }), true,
         L"already\tC:\\x.pst\talready in Outlook"},
        {"in use elsewhere", with([](auto& f) { f.inUse = true; }), false,
         L"failed\tC:\\x.pst\tin use by another program"},
    };
    for (const auto& c : cases) {
        CliRun run;
        run.files.files[L"C:\\x.pst"] = c.facts;
        if (c.inProfile) run.profile.current.push_back({L"x", L"C:\\x.pst", true, false});
        run.run({L"attach", L"C:\\x.pst"});
        ASSERT_EQ(run.console.outLines.size(), 1u) << c.name;
        EXPECT_EQ(run.console.outLines[0], c.line) << c.name;
    }
}

}  // namespace
}  // namespace pelorin::test
