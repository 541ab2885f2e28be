// Add Folder: the folder picker, a scan of the whole tree (pst/pst_scan.h),
// and a row for every file whose name ends in ".pst".
#pragma once
#include <string>

#include "scan/filesystem.h"
#include "ui/toolkit.h"

namespace pelorin::pstlist {

// The rows of every PST under `root` (ending in the separator), and what to
// tell the user about it: no PST found, folders or files skipped, or an
// out-of-memory (empty message: nothing to say). The total is not touched.
// `closing`: a close of the window was asked for in a pause and the rows
// stopped there.
struct FolderOutcome {
    std::wstring message;
    ui::Icon icon = ui::Icon::Information;
    bool closing = false;
};
FolderOutcome addFolderRows(ui::Toolkit& ui, const scan::FileSystemFactory& fileSystems,
                            const std::wstring& root);

// The click. An out-of-memory on the way ends it with one message; the rows
// that were there before stay.
void addFolder(ui::Toolkit& ui, const scan::FileSystemFactory& fileSystems,
               std::wstring& selectedFolder);

}  // namespace pelorin::pstlist
