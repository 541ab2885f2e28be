// Outlook's profile reached through its automation object, for pelorin-cli.
// COM must be initialised on the calling thread.
#pragma once
#include <memory>

#include "cli/outlook_profile.h"

namespace pelorin::cli {

// Creates "Outlook.Application" and its "MAPI" namespace; raises
// OutlookUnavailable (with the reason in words) when that is not possible,
// and at once when the program runs as a service account.
std::unique_ptr<OutlookProfile> connectOutlook();

// Whether the process runs as SYSTEM, LOCAL SERVICE or NETWORK SERVICE.
bool runsAsServiceAccount();

}  // namespace pelorin::cli
