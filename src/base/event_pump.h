// Processing of pending user-interface events. The long loops (the folder
// scan, the add operations, the attach run) call it at fixed points, so the
// window repaints and a click on another button may run nested inside.
#pragma once

namespace pelorin {

class EventPump {
public:
    virtual void doEvents() = 0;

protected:
    ~EventPump() = default;
};

// For a caller with no window to keep alive: the console program, tests.
class NoEvents final : public EventPump {
public:
    void doEvents() override {}
};

}  // namespace pelorin
