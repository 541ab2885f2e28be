// The search of a folder tree for PST files, as Add Folder and pelorin-cli
// make it: every file whose name passes the ".pst" test, in the scanner's
// order, with the folders that could not be read.
#pragma once
#include <set>
#include <string>

#include "base/event_pump.h"
#include "scan/collection.h"
#include "scan/filesystem.h"

namespace pelorin::pst {

// The suffix test: lower-cased, leading and trailing spaces stripped, the
// last four characters are ".pst".
bool isPstPath(const std::wstring& path);

// What one search found: the full paths of the files that pass the ".pst"
// test, in scan order, and the folders it could not read. Only those paths
// are held while the tree is walked, so the memory used follows the number
// of PSTs, not the number of files.
struct PstScan {
    scan::CollectionRef paths;
    std::set<std::wstring> skippedFolders;
};
PstScan scanForPsts(const std::wstring& root, const scan::FileSystemFactory& fileSystems,
                    EventPump& events);

}  // namespace pelorin::pst
