// pelorin-cli's --json lines and --quiet.
#include <gtest/gtest.h>

#include "cli/json_lines.h"
#include "support/cli_fakes.h"

namespace pelorin::test {
namespace {

// Every character outside printable ASCII is escaped, a character beyond
// the BMP as its UTF-16 pair and a lone surrogate as itself.
TEST(CliJson, RecordsAreAsciiWithEscapes) {
    cli::FileRecord full{L"D:\\\x410\x440\x445\x438\x432\\\x90AE\x4EF6 \"q\".pst",
                         cli::Result::Failed, L"line\tone\nline two"};
    full.size = 8192;
    full.format = L"Unicode PST";
    full.hresult = static_cast<std::int32_t>(0x80040600);
    cli::FileRecord lone{std::wstring(L"D:\\a") + wchar_t(0xDC80) + L"\U0001F600.pst"};
    const struct {
        const char* name;
        cli::FileRecord record;
        std::wstring json;
    } cases[] = {
        {"Full", full,
         LR"({"path":"D:\\\u0410\u0440\u0445\u0438\u0432\\\u90ae\u4ef6 \"q\".pst",)"
         LR"("size_bytes":8192,"format":"Unicode PST","result":"failed",)"
         LR"("reason":"line\u0009one\u000aline two","hresult":"0x80040600"})"},
        {"LoneSurrogateAndUnknowns", lone,
         LR"({"path":"D:\\a\udc80\ud83d\ude00.pst","size_bytes":null,"format":null,)"
         LR"("result":"ok","reason":null,"hresult":null})"},
    };
    for (const auto& c : cases) EXPECT_EQ(cli::jsonRecord(c.record), c.json) << c.name;
    EXPECT_EQ(cli::jsonSummary(L"1 of 2 attached, 1 failed", 1),
              LR"({"summary":"1 of 2 attached, 1 failed","exit_code":1})");
}

// --json replaces the TAB lines and the summary on standard error; --quiet
// keeps only the failed and problem lines, and the exit code.
TEST(CliJson, JsonAndQuietChooseWhatIsPrinted) {
    const struct {
        const char* name;
        std::vector<std::wstring> options;
        std::vector<std::wstring> out, err;
    } cases[] = {
        {"Json",
         {L"--json"},
         {LR"({"path":"C:\\a.pst","size_bytes":8192,"format":"Unicode PST","result":"attached",)"
          LR"("reason":null,"hresult":null})",
          LR"({"path":"C:\\bad.pst","size_bytes":8192,"format":"Unicode PST","result":"failed",)"
          LR"("reason":"not a PST file","hresult":"0x80040600"})",
          LR"({"summary":"1 of 2 attached, 1 failed","exit_code":1})"},
         {}},
        {"Quiet", {L"--quiet"}, {L"failed\tC:\\bad.pst\tnot a PST file"}, {}},
        {"QuietJson",
         {L"--quiet", L"--json"},
         {LR"({"path":"C:\\bad.pst","size_bytes":8192,"format":"Unicode PST","result":"failed",)"
          LR"("reason":"not a PST file","hresult":"0x80040600"})"},
         {}},
    };
    for (const auto& c : cases) {
        CliRun run;
        run.files.pst({L"C:\\a.pst", L"C:\\bad.pst"});
        run.profile.failing[L"C:\\bad.pst"] = static_cast<std::int32_t>(0x80040600);
        std::vector<std::wstring> args = {L"attach", L"--continue"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), {L"C:\\a.pst", L"C:\\bad.pst"});
        EXPECT_EQ(run.run(args), 1) << c.name;
        EXPECT_EQ(run.console.outLines, c.out) << c.name;
        EXPECT_EQ(run.console.errLines, c.err) << c.name;
        EXPECT_EQ(run.console.progressCalls, c.options[0] == L"--quiet" ? 0 : 2) << c.name;
    }
}

}  // namespace
}  // namespace pelorin::test
