// Add File: the open-file dialog and the rows of its selection.
#pragma once
#include <string>
#include <vector>

#include "scan/filesystem.h"
#include "ui/toolkit.h"

namespace pelorin::pstlist {

inline constexpr std::uint32_t kOfnExplorer = 0x80000;
inline constexpr std::uint32_t kOfnAllowMultiSelect = 0x200;

// The paths a selection text names, in the order the text holds them:
// empty -> none; one full path -> itself; "folder\0name\0name[\0]" -> folder
// + separator + name for each name. A folder that already ends in the
// separator (a drive root, "C:\") gets no second one, so the path is spelled
// as the file system spells it. An empty element (the one after the last NUL,
// or a stray one) is never a name.
std::vector<std::wstring> selectionPaths(const std::wstring& selection, wchar_t separator = L'\\');

// The message shown once after an add operation when some chosen files could
// not be measured: their paths, one a line, a long list cut short.
std::wstring unreadableFilesText(const std::vector<std::wstring>& paths);

void addFiles(ui::Toolkit& ui, scan::FileSystem& fs);

}  // namespace pelorin::pstlist
