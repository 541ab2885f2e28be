// pelorin-cli's connection looks at the user's Outlook profile before it
// opens the session: with none yet (a first logon) the run stops with its
// own text and Outlook's namespace is never asked for, since that would
// open the profile wizard and wait for a user who is not there.
#include <gtest/gtest.h>

#include <optional>

#include "cli/session_profile.h"
#include "outlook/failure_text.h"
#include "scan/filesystem.h"
#include "support/scripted_outlook.h"

namespace pelorin::test {
namespace {

// Hands out the scripted Outlook's objects while the test keeps it.
class Borrowed final : public outlook::Automation {
public:
    explicit Borrowed(ScriptedOutlook& outlook) : outlook_(outlook) {}
    std::unique_ptr<outlook::AutoObject> create(const std::wstring& progId) override {
        return outlook_.create(progId);
    }
    bool running(const std::wstring& progId) override { return outlook_.running(progId); }

private:
    ScriptedOutlook& outlook_;
};

struct ConnectCase {
    const char* name;
    std::wstring defaultProfileName;
    std::optional<std::pair<std::wstring, std::int32_t>> failure;  // log entry, HRESULT
    std::optional<std::wstring> unavailable;  // the text's start; none: connected
    std::wstring profile = {};                // --profile
    bool runs = false;                        // Outlook runs already...
    std::wstring open = L"Outlook";           // ...with this profile, or opens it without Logon
};

// With --profile Archive: Logon only when Outlook is not running yet, and the
// stores are never read unless Archive is the profile open.
TEST(CliSession, ConnectsOnlyWhenTheUserHasAProfile) {
    const ConnectCase cases[] = {
        {"a profile", L"Outlook", std::nullopt, std::nullopt},
        {"no profile yet", L"", std::nullopt, cli::kNoProfileYet},
        {"an Outlook without DefaultProfileName",
         L"",
         {{L"DefaultProfileName", 0x80020006}},
         std::nullopt},
        {"DefaultProfileName refused",
         L"Outlook",
         {{L"DefaultProfileName", 0x80004005}},
         outlook::kCannotStart},
        {"Outlook not installed",
         L"Outlook",
         {{L"create Outlook.Application", outlook::kHrClassString}},
         outlook::kNotInstalled},
        {"logged on to it", L"Outlook", std::nullopt, std::nullopt, L"Archive"},
        {"running with it", L"Outlook", std::nullopt, std::nullopt, L"Archive", true, L"ARCHIVE"},
        {"running with another", L"Outlook", std::nullopt,
         L"Outlook is running with the profile \"Outlook\", not \"Archive\"", L"Archive", true},
        {"no such profile",
         L"Outlook",
         {{L"Logon Archive", 0x80040111}},
         L"the Outlook profile \"Archive\" does not exist",
         L"Archive"},
    };
    for (const ConnectCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedOutlook outlook;
        outlook.defaultProfileName = c.defaultProfileName;
        outlook.runs = c.runs;
        outlook.openProfile = c.open;
        if (c.failure) outlook.failOn(c.failure->first, c.failure->second);
        std::optional<std::wstring> message;
        try {
            cli::connectSession(
                std::make_unique<Borrowed>(outlook), [] { return scan::makePlatformFileSystem(); },
                c.profile);
        } catch (const cli::OutlookUnavailable& e) {
            message = e.message;
        }
        ASSERT_EQ(message.has_value(), c.unavailable.has_value()) << message.value_or(L"");
        if (message) {
            EXPECT_EQ(message->rfind(*c.unavailable, 0), 0u) << *message;
        }
        if (c.profile.empty()) {
            EXPECT_EQ(outlook.calls(L"GetNamespace").empty(), c.unavailable.has_value());
        }
        // No store is read before the profile is known to be the one asked for.
        if (c.unavailable) EXPECT_TRUE(outlook.calls(L"Stores").empty());
        EXPECT_EQ(outlook.calls(L"Logon").size(), !c.profile.empty() && !c.runs ? 1u : 0u);
    }
}

// A store whose properties Outlook cannot give (here: no DisplayName) is
// still a row, with the path read before the failure and the reason.
TEST(CliSession, AStoreOutlookCannotReadIsStillARow) {
    ScriptedOutlook outlook;
    outlook.stores = {L"C:\\a.pst"};
    const auto profile = cli::connectSession(std::make_unique<Borrowed>(outlook),
                                             [] { return scan::makePlatformFileSystem(); });
    const std::vector<cli::Store> stores = profile->stores();
    ASSERT_EQ(stores.size(), 1u);
    EXPECT_EQ(stores[0].filePath, L"C:\\a.pst");
    EXPECT_NE(stores[0].unreadable.find(L"member not found"), std::wstring::npos)
        << stores[0].unreadable;
}

}  // namespace
}  // namespace pelorin::test
