// pelorin-cli's calls to Outlook as the profile grows, counted by the
// stand-in: each command makes the same number of calls per store whatever
// the profile's size, and asks for each member's DISPID only once.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "base/text.h"
#include "support/pst_files.h"
#include "support/temp_tree.h"
#include "win/cli_process_win.h"
#include "win/harness_win.h"

namespace pelorin::test {
namespace {

struct Calls {
    long names = 0;  // GetIDsOfNames
    long all = 0;    // every call the stand-in answered
};

// What the last stand-in to end wrote into count-calls.
Calls lastCounts() {
    std::ifstream in(standinFile(L"count-calls"), std::ios::binary);
    std::string line, last;
    while (std::getline(in, line))
        if (!line.empty()) last = line;
    std::istringstream words(last);
    std::string name;
    long n = 0;
    Calls calls;
    while (words >> name >> n) {
        if (name == "GetIDsOfNames") calls.names = n;
        calls.all += n;
    }
    return calls;
}

TEST(CliScale, CallsPerStoreStayTheSameAsTheProfileGrows) {
    StandinTurn turn;
    if (!standinRegistered()) GTEST_SKIP() << "the stand-in Outlook is not registered";
    ASSERT_TRUE(standinGone());
    TempTree tree;
    StandinSetting counting(L"count-calls", "");
    auto pst = [&](const std::wstring& name) {
        tree.file(name);
        return writePst(tree.fsPath(name)).wstring();
    };
    const std::wstring base = pst(L"base.pst");
    const char* const steps[] = {"attach", "attach again", "list", "detach --all"};
    std::vector<std::vector<Calls>> counts;  // per profile size, per step
    for (const int size : {2, 4, 6}) {
        // The profile: whatever store is the default, base.pst, `size` files.
        std::vector<std::wstring> setUp{L"attach", base}, added{L"attach"};
        for (int i = 0; i < size; ++i) {
            const std::wstring folder = std::to_wstring(size) + L"/";
            setUp.push_back(pst(folder + L"old" + std::to_wstring(i) + L".pst"));
            added.push_back(pst(folder + L"new" + std::to_wstring(i) + L".pst"));
        }
        ASSERT_EQ(runCli(tree, {L"detach", L"--all"}).exitCode, 0u);
        ASSERT_EQ(runCli(tree, setUp).exitCode, 0u);
        const std::vector<std::vector<std::wstring>> commands = {
            added, added, {L"list"}, {L"detach", L"--all"}};
        counts.emplace_back();
        for (size_t step = 0; step < commands.size(); ++step) {
            const Output run = runCli(tree, commands[step]);
            ASSERT_EQ(run.exitCode, 0u) << steps[step] << ": " << toUtf8(run.err);
            ASSERT_TRUE(standinGone());
            counts.back().push_back(lastCounts());
        }
    }
    for (size_t step = 0; step < std::size(steps); ++step) {
        const long first = counts[1][step].all - counts[0][step].all;
        EXPECT_EQ(counts[2][step].all - counts[1][step].all, first) << steps[step];
        EXPECT_EQ(counts[2][step].names, counts[0][step].names) << steps[step];
    }
    forgetStoresUnder(tree.path());
}

}  // namespace
}  // namespace pelorin::test
