// An event pump with nothing to pump: for scans and runs that no click can
// land in.
#pragma once
#include "base/event_pump.h"

namespace pelorin::test {

struct NoEvents final : EventPump {
    void doEvents() override {}
};

}  // namespace pelorin::test
