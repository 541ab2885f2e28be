// The whole reason of each failed row, kept beside the list's rows: the
// status column shows a short form ("Failed: read-only"), the row's tooltip
// the reason the run's box gave ("File access is denied (0x80070005)").
#pragma once
#include <map>
#include <string>

#include "ui/toolkit.h"

namespace pelorin::pstlist {

// Rows are only ever inserted at the top, so a row is known here by its
// place counted from the bottom: inserting rows changes nothing, a removal
// must be told. A reason counts only while its row's status is a failure;
// the row's next failure replaces it.
class RowReasons {
public:
    void set(const ui::ListView& list, int row, std::wstring reason);
    // Before `row` is removed from the list: its reason goes, the rows
    // above it move down one place.
    void removingRow(const ui::ListView& list, int row);
    void clear() { reasons_.clear(); }
    // The row's reason while its status is a failure; empty otherwise.
    std::wstring of(const ui::ListView& list, int row) const;

private:
    std::map<int, std::wstring> reasons_;  // by place from the bottom, 0 = the last row
};

// The tooltip of a row: its whole path, then on a second line its status
// (none for "Done"), or for a failed row "Failed: " and the whole reason.
std::wstring rowTip(const ui::ListView& list, const RowReasons& reasons, int row);

}  // namespace pelorin::pstlist
