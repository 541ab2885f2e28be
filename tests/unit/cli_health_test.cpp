// The row `list` gives each store from its file's facts, and what attach
// makes of a file's facts: refused, attached with a warning, or already.
#include <gtest/gtest.h>

#include "cli/store_health.h"
#include "support/cli_fakes.h"
#include "support/pst_facts.h"

namespace pelorin::test {
namespace {

using cli::Result;

TEST(CliHealth, EachStoresRow) {
    const cli::Store pst{L"A", L"C:\\a.pst", true, false}, ost{L"O", L"C:\\o.ost", false, false};
    const auto unread = [](auto& f) { f.head.clear(), f.headRead = false; };
    cli::FileFacts gone;
    gone.absence = pst::Absence::FileNotFound;
    const struct {
        cli::Store store;
        cli::FileFacts facts;
        Result result;
        std::wstring reason;
    } cases[] = {
        {pst, factsOf(pstBytes()), Result::Ok, L"pst: A, Unicode PST, 8192 bytes"},
        {pst, soundWith([&](auto& f) { unread(f), f.inUse = true; }), Result::Ok,
         L"pst: A, 8192 bytes, in use by Outlook"},
        {pst, gone, Result::Missing, L"pst: A; file not found"},
        {pst, soundWith([](auto& f) { f.head[40] ^= 1; }), Result::Damaged,
         L"pst: A, damaged, 8192 bytes; damaged: header checksum does not match"},
        {pst, soundWith(unread), Result::Damaged, L"pst: A, 8192 bytes; cannot be read"},
        {ost, gone, Result::Missing, L"store: O; file not found"},
        {{L"", L"", false, false, L"broken (0x80004005)"},
         {},
         Result::Damaged,
         L"store: ; Outlook cannot read the store: broken (0x80004005)"},
    };
    for (const auto& c : cases) {
        const cli::FileRecord r = cli::storeHealth(c.store, c.facts);
        EXPECT_EQ(r.result, c.result) << r.reason;
        EXPECT_EQ(r.reason, c.reason);
    }
}

// One file through attach: its facts decide before Outlook is asked.
TEST(CliHealth, AttachDecidesFromTheFacts) {
    const auto sized = [](PstLayout layout, std::int64_t size) {
        return factsOf(pstHeaderRecording(layout, static_cast<std::uint64_t>(size)), size);
    };
    const struct {
        cli::FileFacts facts;
        bool inProfile;
        std::wstring line;
    } cases[] = {
        {sized(PstLayout::Ansi, pst::kAnsiLimit), false,
         L"failed\tC:\\x.pst\tsize 1.9 GB over the ANSI limit of 1.9 GB"},
        {sized(PstLayout::Unicode, pst::kAnsiLimit * 2), false, L"attached\tC:\\x.pst"},
        {soundWith([](auto& f) { f.network = true; }), false,
         L"attached\tC:\\x.pst\ton a network path (Outlook does not support PSTs on shares)"},
        {soundWith([](auto& f) { f.oneDrive = true; }), false,
         L"attached\tC:\\x.pst\tin a OneDrive-synced folder"},
        {soundWith([](auto& f) { f.inUse = true; }), true,
         L"already\tC:\\x.pst\talready in Outlook"},
    };
    for (const auto& c : cases) {
        CliRun run;
        run.files.files[L"C:\\x.pst"] = c.facts;
        if (c.inProfile) run.profile.current.push_back({L"x", L"C:\\x.pst", true, false});
        run.run({L"attach", L"C:\\x.pst"});
        EXPECT_EQ(run.console.outLines, std::vector<std::wstring>{c.line});
    }
}

}  // namespace
}  // namespace pelorin::test
