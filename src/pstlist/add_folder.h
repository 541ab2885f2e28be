// Add Folder: the folder picker, a scan of the whole tree (pst/pst_scan.h),
// and a row for every file whose name ends in ".pst".
#pragma once
#include <string>

#include "scan/filesystem.h"
#include "ui/toolkit.h"

namespace pelorin::pstlist {

// The click. An out-of-memory on the way ends it with one message; the rows
// that were there before stay.
void addFolder(ui::Toolkit& ui, const scan::FileSystemFactory& fileSystems,
               std::wstring& selectedFolder);

}  // namespace pelorin::pstlist
