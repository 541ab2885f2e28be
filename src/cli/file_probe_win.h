// The file facts on Windows: attributes, length, the header read through a
// handle, whether another process holds the file, the drive's kind, and the
// folders OneDrive keeps in sync.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "cli/file_facts.h"

namespace pelorin::cli {

std::unique_ptr<FileProbe> makeWin32FileProbe();

// The folders OneDrive keeps in sync for this user: the OneDrive,
// OneDriveCommercial and OneDriveConsumer variables and each account's
// UserFolder under HKCU\Software\Microsoft\OneDrive\Accounts.
std::vector<std::wstring> oneDriveFolders();

}  // namespace pelorin::cli
