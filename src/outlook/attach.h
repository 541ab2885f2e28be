// The attach run: every ticked row becomes a store of Outlook's "MAPI"
// namespace, marked "Done"; the run stops at the first failure.
#pragma once
#include "outlook/automation.h"
#include "ui/toolkit.h"

namespace pelorin::outlook {

void Command3_Click(ui::Toolkit& ui, Automation& automation);
void AddCheckedToOutlook(ui::Toolkit& ui, Automation& automation);

}  // namespace pelorin::outlook
