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
// + "\" + name for each name. The empty element after the last NUL is never
// a name.
std::vector<std::wstring> selectionPaths(const std::wstring& selection);

void Command1_Click(ui::Toolkit& ui, scan::FileSystem& fs);

}  // namespace pelorin::pstlist
