// Add Folder: the folder picker, a scan of the whole tree, and a row for
// every file whose name ends in ".pst".
#pragma once
#include <set>
#include <string>

#include "scan/collection.h"
#include "scan/filesystem.h"
#include "ui/toolkit.h"

namespace pelorin::pstlist {

// The suffix test: lower-cased, leading and trailing spaces stripped, the
// last four characters are ".pst".
bool isPstPath(const std::wstring& path);

// What the scan of one Add Folder click found: the full paths of the files
// that pass the ".pst" test, in scan order, and the folders it could not
// read. Only those paths are held while the tree is walked, so the memory
// used follows the number of PSTs, not the number of files.
struct PstScan {
    scan::CollectionRef paths;
    std::set<std::wstring> skippedFolders;
};
PstScan scanForPsts(const std::wstring& root, const scan::FileSystemFactory& fileSystems,
                    EventPump& events);

// The rows of every PST under `root` (ending in the separator), and what to
// tell the user about it: no PST found, folders or files skipped, or an
// out-of-memory (empty message: nothing to say). The total is not touched.
struct FolderOutcome {
    std::wstring message;
    ui::Icon icon = ui::Icon::Information;
};
FolderOutcome addFolderRows(ui::Toolkit& ui, const scan::FileSystemFactory& fileSystems,
                            const std::wstring& root);

// The click. An out-of-memory on the way ends it with one message; the rows
// that were there before stay.
void addFolder(ui::Toolkit& ui, const scan::FileSystemFactory& fileSystems,
               std::wstring& selectedFolder);

}  // namespace pelorin::pstlist
