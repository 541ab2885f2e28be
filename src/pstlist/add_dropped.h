// Files and folders dropped onto the list: added as Add File and Add Folder
// add them, in the order dropped.
#pragma once
#include <string>
#include <vector>

#include "scan/filesystem.h"
#include "ui/toolkit.h"

namespace pelorin::pstlist {

// "1 dropped file is not a PST file and was skipped." and its plural.
std::wstring notPstText(int files);

// A folder is searched with all its subfolders; a file gets its row when
// its name ends in ".pst", and is counted as skipped otherwise. Everything
// worth saying comes in one message at the end.
void addDropped(ui::Toolkit& ui, const scan::FileSystemFactory& fileSystems,
                const std::vector<std::wstring>& paths);

}  // namespace pelorin::pstlist
