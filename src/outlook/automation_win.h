// The real automation: COM objects created on the local machine and driven
// by member name through IDispatch. COM must be initialised on the calling
// thread (apartment threaded) before use. While an application object made
// here lives, a message filter on the thread retries the calls a busy server
// refuses (and the call helper retries them too, for COM runtimes that pass
// the refusal back without asking the filter).
#pragma once
#include <oaidl.h>

#include <memory>

#include "outlook/automation.h"

namespace pelorin::outlook {

std::unique_ptr<Automation> makeComAutomation(CallRetry retry = {});

// The automation object around an IDispatch the caller holds; it takes a
// reference of its own and drops it when destroyed.
std::unique_ptr<AutoObject> wrapDispatch(IDispatch* object);

}  // namespace pelorin::outlook
