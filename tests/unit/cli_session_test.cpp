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
};

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
    };
    for (const ConnectCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedOutlook outlook;
        outlook.defaultProfileName = c.defaultProfileName;
        if (c.failure) outlook.failOn(c.failure->first, c.failure->second);
        std::optional<std::wstring> message;
        try {
            cli::connectSession(std::make_unique<Borrowed>(outlook),
                                [] { return scan::makePlatformFileSystem(); });
        } catch (const cli::OutlookUnavailable& e) {
            message = e.message;
        }
        ASSERT_EQ(message.has_value(), c.unavailable.has_value()) << message.value_or(L"");
        if (message) {
            EXPECT_EQ(message->rfind(*c.unavailable, 0), 0u) << *message;
        }
        EXPECT_EQ(outlook.calls(L"GetNamespace").empty(), c.unavailable.has_value());
    }
}

struct ProfileCase {
    const char* name;
    bool runs;                // Outlook runs already
    std::wstring openBefore;  // the profile it has open (or opens without Logon)
    bool logonFails;
    std::optional<std::wstring> unavailable;  // a part of the text; none: connected
};

// --profile Archive: Logon only when Outlook is not running yet, and the
// stores are never read unless Archive is the profile open.
TEST(CliSession, TheNamedProfileMustBeTheOneOpen) {
    const ProfileCase cases[] = {
        {"logged on", false, L"Outlook", false, std::nullopt},
        {"running with it", true, L"ARCHIVE", false, std::nullopt},
        {"running with another", true, L"Outlook", false, L"running with the profile \"Outlook\""},
        {"no such profile", false, L"Outlook", true, L"profile \"Archive\" does not exist"},
    };
    for (const ProfileCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedOutlook outlook;
        outlook.runs = c.runs;
        outlook.openProfile = c.openBefore;
        if (c.logonFails) outlook.failOn(L"Logon Archive", static_cast<std::int32_t>(0x80040111));
        std::optional<std::wstring> message;
        try {
            cli::connectSession(
                std::make_unique<Borrowed>(outlook), [] { return scan::makePlatformFileSystem(); },
                L"Archive");
        } catch (const cli::OutlookUnavailable& e) {
            message = e.message;
        }
        ASSERT_EQ(message.has_value(), c.unavailable.has_value()) << message.value_or(L"");
        if (message) {
            EXPECT_NE(message->find(*c.unavailable), std::wstring::npos) << *message;
        }
        EXPECT_EQ(outlook.calls(L"Logon").size(), c.runs ? 0u : 1u);
        EXPECT_EQ(outlook.calls(L"Stores").empty(), c.unavailable.has_value());
    }
}

}  // namespace
}  // namespace pelorin::test
