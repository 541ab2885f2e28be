// The thread's COM message filter while Outlook is in use: a call that a
// starting or busy Outlook rejects is tried again every retry interval up to
// the retry limit, and pending paint messages are handled meanwhile. A call
// Outlook accepted but does not answer is looked at every wait check (a
// timer wakes the wait: COM asks the filter only when a message arrives) and
// cancelled (PENDINGMSG_CANCELCALL) once it has waited the wait limit or the
// thread's WaitWatcher says stop (outlook/call_wait.h). The scope registers
// the filter and puts the previous one back when it ends.
#pragma once
#include <objidl.h>
#include <wrl/client.h>

#include <memory>

#include "outlook/automation.h"

namespace pelorin::outlook {

struct WaitState;

class MessageFilterScope {
public:
    explicit MessageFilterScope(CallRetry retry);
    ~MessageFilterScope();
    MessageFilterScope(const MessageFilterScope&) = delete;
    MessageFilterScope& operator=(const MessageFilterScope&) = delete;

    // Held for the time of one outgoing call: its wait is timed from here.
    class CallScope {
    public:
        explicit CallScope(WaitState& state);
        ~CallScope();
        CallScope(const CallScope&) = delete;
        CallScope& operator=(const CallScope&) = delete;

    private:
        WaitState& state_;
        bool owner_ = false;
        HANDLE timer_ = nullptr;
    };
    CallScope call() { return CallScope(*state_); }

private:
    Microsoft::WRL::ComPtr<IMessageFilter> previous_;
    std::shared_ptr<WaitState> state_;
    bool registered_ = false;
};

}  // namespace pelorin::outlook
