// The profile through the Outlook session the window's attach run uses: the
// same connection (message filter, retries, the texts for a missing or
// unreachable Outlook), the same per-file attach step (the file checked
// again, a file already in the profile not sent again) and RemoveStore of a
// store's root folder. Portable: the automation is handed in.
#pragma once
#include <memory>

#include "cli/outlook_profile.h"
#include "outlook/automation.h"
#include "scan/filesystem.h"

namespace pelorin::cli {

// Outlook automation is not supported for service accounts.
inline constexpr wchar_t kServiceAccount[] =
    L"pelorin-cli runs as a service account (such as SYSTEM), where Outlook automation is not "
    L"supported. Run it as the user, for example from the user's logon script.";

// The user has no Outlook profile yet (a first logon): Outlook would open its
// profile wizard and wait for the user, so the run stops before that.
inline constexpr wchar_t kNoProfileYet[] = L"no Outlook profile yet; run again later";

// Raises OutlookUnavailable with the window's text when Outlook cannot be
// reached, and with kNoProfileYet when the user has no profile. With a
// profile named, Outlook must have that one open (logged on to when Outlook
// was not running yet): another one open, or a profile that cannot be
// opened, raises OutlookUnavailable naming it before any store is read.
std::unique_ptr<OutlookProfile> connectSession(std::unique_ptr<outlook::Automation> automation,
                                               const scan::FileSystemFactory& fileSystems,
                                               const std::wstring& profileName = {});

}  // namespace pelorin::cli
