#include "ui/controls.h"

#include "base/error.h"

namespace pelorin::ui {

const ControlRow& controlRow(ControlId id) {
    for (const ControlRow& row : kControlRows)
        if (row.id == id) return row;
    throw Error(kErrInternal, L"No control with id " + std::to_wstring(id));
}

bool lockedNow(ControlId id, Busy now) { return overlaps(controlRow(id).lockedWhile, now); }

}  // namespace pelorin::ui
