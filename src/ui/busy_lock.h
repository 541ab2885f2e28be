// The window's busy lock: while it lives, every control whose row in
// kControlRows is locked while the window is busy with its kind is greyed,
// and commands so marked are refused; at its end each control gets back the
// state it had. Locks nest (a click inside another click's pause).
#pragma once
#include <utility>
#include <vector>

#include "ui/toolkit.h"

namespace pelorin::ui {

class BusyLock {
public:
    BusyLock(Toolkit& ui, Busy kind);
    ~BusyLock();
    BusyLock(const BusyLock&) = delete;
    BusyLock& operator=(const BusyLock&) = delete;

private:
    Toolkit& ui_;
    Busy before_;
    std::vector<std::pair<Button*, bool>> held_;  // each control and its state before
};

}  // namespace pelorin::ui
