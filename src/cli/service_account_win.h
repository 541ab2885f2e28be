// Whether pelorin-cli runs as a service account (SYSTEM, LOCAL SERVICE,
// NETWORK SERVICE), where Outlook automation is not supported.
#pragma once

namespace pelorin::cli {

bool runsAsServiceAccount();

}  // namespace pelorin::cli
