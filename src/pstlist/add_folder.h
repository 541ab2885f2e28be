// Add Folder: the folder picker, a scan of the whole tree, and a row for
// every file whose name ends in ".pst".
#pragma once
#include <string>

#include "scan/filesystem.h"
#include "ui/toolkit.h"

namespace pelorin::pstlist {

// The suffix test: lower-cased, leading and trailing spaces stripped, the
// last four characters are ".pst".
bool isPstPath(const std::wstring& path);

void addFolder(ui::Toolkit& ui, const scan::FileSystemFactory& fileSystems,
                    std::wstring& selectedFolder);

}  // namespace pelorin::pstlist
