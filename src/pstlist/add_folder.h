// Add Folder: the folder picker, a scan of the whole tree, and a row for
// every file whose name ends in ".pst".
#pragma once
#include <set>
#include <string>

#include "base/event_pump.h"
#include "scan/collection.h"
#include "scan/filesystem.h"
#include "ui/toolkit.h"

namespace pelorin::pstlist {

// The suffix test: lower-cased, leading and trailing spaces stripped, the
// last four characters are ".pst".
bool isPstPath(const std::wstring& path);

// Every file of the tree under root (a folder path ending in the separator),
// in the scanner's order, from one scan whose service reads a folder that
// cannot be opened or listed as empty and names it in `skipped`. Add Folder
// and the command-line program both scan this way.
scan::CollectionRef scanTree(const std::wstring& root, const scan::FileSystemFactory& fileSystems,
                             EventPump& events, std::set<std::wstring>& skipped);

void addFolder(ui::Toolkit& ui, const scan::FileSystemFactory& fileSystems,
                    std::wstring& selectedFolder);

}  // namespace pelorin::pstlist
