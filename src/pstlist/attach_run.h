// The attach run: every ticked row becomes a store of Outlook's "MAPI"
// namespace, marked "Done"; the run stops at the first failure.
#pragma once
#include "outlook/automation.h"
#include "ui/toolkit.h"

namespace pelorin::pstlist {

void attachTickedRows(ui::Toolkit& ui, outlook::Automation& automation);
void attachRows(ui::Toolkit& ui, outlook::Automation& automation);

}  // namespace pelorin::pstlist
