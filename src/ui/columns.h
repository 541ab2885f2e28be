// The PST list's columns, one row each, addressed by name: the header, its
// width in pixels at 96 dpi. Column::FileName is the row's own text; the
// others are its sub-items. The Win32 list and the headless one are built
// from this table.
#pragma once
#include <iterator>

namespace pelorin::ui {

enum class Column : int { FileName, Size, Status };

struct ColumnRow {
    Column column;
    const wchar_t* header;
    int width;
};

inline constexpr ColumnRow kColumnRows[] = {
    {Column::FileName, L"File Name", 393},
    {Column::Size, L"Size (KB)", 67},
    {Column::Status, L"Status", 120},
};

inline constexpr int kColumnCount = static_cast<int>(std::size(kColumnRows));

constexpr int columnIndex(Column column) { return static_cast<int>(column); }

// Each row sits at its own index: the list addresses columns by position.
constexpr bool columnsInOrder() {
    for (int i = 0; i < kColumnCount; ++i)
        if (columnIndex(kColumnRows[i].column) != i) return false;
    return true;
}
static_assert(columnsInOrder(), "kColumnRows lists the columns in their Column order");

}  // namespace pelorin::ui
