// The PST list: row insertion, the total, Select All, Clear List, and the
// size text shown in the "Size (KB)" column.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "pstlist/row_reasons.h"
#include "scan/filesystem.h"
#include "ui/toolkit.h"

namespace pelorin::pstlist {

inline constexpr int kRowIcon = 2;  // image 2 of the row images, the application icon

// length / 1024.0 as decimal text: at most 15 significant digits, no trailing
// zeros, no grouping, fixed notation, the given decimal separator.
std::wstring sizeText(std::int64_t bytes, wchar_t decimalSeparator);

// Inserts the path as row 1 with the size text of `length`; no events are
// processed in between, so the row written is the row inserted.
void insertPstRow(ui::Toolkit& ui, const std::wstring& path, std::int64_t length);

// Measures the file and inserts its row (true); a file that cannot be read
// (a typed name that does not exist, one removed meanwhile) gets no row and
// is added to `unreadable` instead, so the others still get theirs.
bool addMeasuredRow(ui::Toolkit& ui, scan::FileSystem& fs, const std::wstring& path,
                    std::vector<std::wstring>& unreadable);

// One of Add File's or Add Folder's pauses; true when a close of the window
// was asked for in it, and the operation stops there.
bool pauseEndsOperation(ui::Toolkit& ui);

// The total label shows the number of rows.
void refreshTotal(ui::Toolkit& ui);

void applySelectAll(ui::Toolkit& ui);
void clearList(ui::Toolkit& ui, RowReasons& reasons);

// The highlighted rows' paths, top to bottom.
std::vector<std::wstring> highlightedPaths(const ui::ListView& list);
// Removes the highlighted rows and their reasons; the total follows, and
// once the list is empty Select All is unticked and greyed, as at the start.
void removeHighlightedRows(ui::Toolkit& ui, RowReasons& reasons);
void highlightAll(ui::ListView& list);
// The highlighted rows' paths, one a line, for the clipboard.
std::wstring pathLines(const std::vector<std::wstring>& paths);

}  // namespace pelorin::pstlist
