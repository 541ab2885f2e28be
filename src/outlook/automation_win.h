// The real automation: COM objects created on the local machine and driven
// by member name through IDispatch. COM must be initialised on the calling
// thread (apartment threaded) before use.
#pragma once
#include <memory>

#include "outlook/automation.h"

namespace pelorin::outlook {

std::unique_ptr<Automation> makeComAutomation();

}  // namespace pelorin::outlook
