// The real automation: COM objects created on the local machine and driven
// by member name through IDispatch. COM must be initialised on the calling
// thread (apartment threaded) before use.
#pragma once
#include <oaidl.h>

#include <memory>

#include "outlook/automation.h"

namespace pelorin::outlook {

std::unique_ptr<Automation> makeComAutomation();

// The automation object around an IDispatch the caller holds; it takes a
// reference of its own and drops it when destroyed.
std::unique_ptr<AutoObject> wrapDispatch(IDispatch* object);

}  // namespace pelorin::outlook
