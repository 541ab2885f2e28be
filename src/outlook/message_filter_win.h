// The thread's COM message filter while Outlook is in use: a call that a
// starting or busy Outlook rejects is tried again every retry interval up to
// the retry limit, and pending paint messages are handled meanwhile. The
// scope registers the filter and puts the previous one back when it ends.
#pragma once
#include <objidl.h>
#include <wrl/client.h>

#include "outlook/automation.h"

namespace pelorin::outlook {

class MessageFilterScope {
public:
    explicit MessageFilterScope(CallRetry retry);
    ~MessageFilterScope();
    MessageFilterScope(const MessageFilterScope&) = delete;
    MessageFilterScope& operator=(const MessageFilterScope&) = delete;

private:
    Microsoft::WRL::ComPtr<IMessageFilter> previous_;
    bool registered_ = false;
};

}  // namespace pelorin::outlook
