// The PST list read back top to bottom, for comparing whole lists at once:
// the paths, or the status column.
#pragma once
#include <string>
#include <vector>

#include "ui/toolkit.h"

namespace pelorin::test {

inline std::vector<std::wstring> rowTexts(const ui::ListView& list) {
    std::vector<std::wstring> out;
    for (int row = 1; row <= list.count(); ++row) out.push_back(list.text(row));
    return out;
}

inline std::vector<std::wstring> rowStatuses(const ui::ListView& list) {
    std::vector<std::wstring> out;
    for (int row = 1; row <= list.count(); ++row)
        out.push_back(list.subItem(row, ui::Column::Status));
    return out;
}

}  // namespace pelorin::test
