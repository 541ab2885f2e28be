// The facts of one file on Windows: attributes, length, the header read
// through a handle, whether another process holds the file, the drive's
// kind, and whether OneDrive keeps it in sync.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "pst/file_facts.h"

namespace pelorin::pst {

// What a run learns once about where files live: the folders OneDrive
// keeps in sync for this user, and each drive letter's kind when first asked
// (asking Windows costs as much as reading a file's header).
struct FilePlaces {
    std::vector<std::wstring> oneDriveFolders;
    std::array<unsigned, 26> driveTypes{};  // DRIVE_UNKNOWN (0) until asked
};

FileFacts readFileFacts(const std::wstring& path, FilePlaces& places);

}  // namespace pelorin::pst
