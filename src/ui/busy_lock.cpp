#include "ui/busy_lock.h"

namespace pelorin::ui {

BusyLock::BusyLock(Toolkit& ui, Busy kind) : ui_(ui), before_(ui.busyWith()) {
    ui_.setBusyWith(before_ | kind);
    for (const ControlRow& row : kControlRows) {
        if (!overlaps(row.lockedWhile, kind) || row.kind == ControlKind::Command) continue;
        Button& control = ui_.button(row.id);
        held_.emplace_back(&control, control.enabled());
        control.setEnabled(false);
    }
}

BusyLock::~BusyLock() {
    for (auto& [control, was] : held_) control->setEnabled(was);
    ui_.setBusyWith(before_);
}

}  // namespace pelorin::ui
