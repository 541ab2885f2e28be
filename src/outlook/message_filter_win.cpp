#include "outlook/message_filter_win.h"

#include <objbase.h>

namespace pelorin::outlook {

namespace {

class RetryFilter final : public IMessageFilter {
public:
    explicit RetryFilter(CallRetry retry) : retry_(retry) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IMessageFilter) {
            *out = static_cast<IMessageFilter*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const long left = --refs_;
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        return SERVERCALL_ISHANDLED;
    }
    // The return value is the wait in milliseconds before the next try;
    // -1 gives up and lets the call fail with the refusal.
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsed, DWORD rejectType) override {
        const bool busy = rejectType == SERVERCALL_RETRYLATER || rejectType == SERVERCALL_REJECTED;
        if (!busy || elapsed >= static_cast<DWORD>(retry_.limit.count()))
            return static_cast<DWORD>(-1);
        return static_cast<DWORD>(retry_.interval.count());
    }
    // Lets the window repaint while an outgoing call waits.
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
        return PENDINGMSG_WAITDEFPROCESS;
    }

private:
    CallRetry retry_;
    long refs_ = 1;
};

}  // namespace

MessageFilterScope::MessageFilterScope(CallRetry retry) {
    Microsoft::WRL::ComPtr<IMessageFilter> filter;
    filter.Attach(new RetryFilter(retry));
    registered_ = SUCCEEDED(::CoRegisterMessageFilter(filter.Get(), previous_.GetAddressOf()));
}

MessageFilterScope::~MessageFilterScope() {
    if (!registered_) return;
    Microsoft::WRL::ComPtr<IMessageFilter> ours;
    ::CoRegisterMessageFilter(previous_.Get(), ours.GetAddressOf());
}

}  // namespace pelorin::outlook
