// The facts of one file on Windows: attributes, length, the header read
// through a handle, whether another process holds the file, the drive's
// kind, and whether OneDrive keeps it in sync.
#pragma once
#include <string>
#include <vector>

#include "pst/file_facts.h"

namespace pelorin::pst {

// `oneDriveFolders`: the folders OneDrive keeps in sync for this user.
FileFacts readFileFacts(const std::wstring& path, const std::vector<std::wstring>& oneDriveFolders);

}  // namespace pelorin::pst
