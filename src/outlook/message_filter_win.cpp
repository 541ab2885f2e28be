#include "outlook/message_filter_win.h"

#include <objbase.h>

#include "outlook/call_wait.h"

namespace pelorin::outlook {

// What the filter knows of the call under way; shared with the scope.
struct WaitState {
    CallRetry retry;
    DWORD thread = 0;
    bool inCall = false;
    ULONGLONG callStart = 0;
    bool announced = false;
    bool stopped = false;
};

namespace {

// Posted to the calling thread every wait check while a call is watched.
UINT checkMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Pelorin.OutlookWaitCheck");
    return message;
}

// Takes the checks off the queue; whether there was one.
bool takeChecks() {
    MSG msg;
    bool any = false;
    while (::PeekMessageW(&msg, nullptr, checkMessage(), checkMessage(), PM_REMOVE)) any = true;
    return any;
}

void CALLBACK postCheck(void* thread, BOOLEAN) {
    ::PostThreadMessageW(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(thread)), checkMessage(), 0,
                         0);
}

class RetryFilter final : public IMessageFilter {
public:
    explicit RetryFilter(std::shared_ptr<WaitState> state) : state_(std::move(state)) {}

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
        const CallRetry& retry = state_->retry;
        const bool busy = rejectType == SERVERCALL_RETRYLATER || rejectType == SERVERCALL_REJECTED;
        if (!busy || elapsed >= static_cast<DWORD>(retry.limit.count()))
            return static_cast<DWORD>(-1);
        return static_cast<DWORD>(retry.interval.count());
    }
    // Lets the window repaint while an outgoing call waits, and stops the
    // wait when its time is up or the watcher says so.
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
        const bool checked = takeChecks();
        WaitState& s = *state_;
        if (!s.inCall) return PENDINGMSG_WAITDEFPROCESS;
        if (s.stopped) return PENDINGMSG_CANCELCALL;
        const auto waited = static_cast<long long>(::GetTickCount64() - s.callStart);
        bool stop = s.retry.waitLimit.count() > 0 && waited >= s.retry.waitLimit.count();
        WaitWatcher* watcher = currentWaitWatcher();
        if (!stop && watcher) {
            if (checked && !s.announced) {
                s.announced = true;
                watcher->waiting();
            }
            stop = watcher->stopWaiting();
        }
        s.stopped = stop;
        return stop ? PENDINGMSG_CANCELCALL : PENDINGMSG_WAITDEFPROCESS;
    }

private:
    std::shared_ptr<WaitState> state_;
    long refs_ = 1;
};

}  // namespace

MessageFilterScope::MessageFilterScope(CallRetry retry) : state_(std::make_shared<WaitState>()) {
    state_->retry = retry;
    state_->thread = ::GetCurrentThreadId();
    Microsoft::WRL::ComPtr<IMessageFilter> filter;
    filter.Attach(new RetryFilter(state_));
    registered_ = SUCCEEDED(::CoRegisterMessageFilter(filter.Get(), previous_.GetAddressOf()));
}

MessageFilterScope::~MessageFilterScope() {
    if (!registered_) return;
    Microsoft::WRL::ComPtr<IMessageFilter> ours;
    ::CoRegisterMessageFilter(previous_.Get(), ours.GetAddressOf());
}

// The timer runs only while someone looks at the wait: a wait limit, or a
// watcher on this thread. A call made inside another's wait (none are made
// from the filter) would share the outer one's state.
MessageFilterScope::CallScope::CallScope(WaitState& state) : state_(state) {
    if (state.inCall) return;
    owner_ = true;
    state.inCall = true;
    state.callStart = ::GetTickCount64();
    state.announced = false;
    state.stopped = false;
    if (state.retry.waitLimit.count() <= 0 && !currentWaitWatcher()) return;
    const auto every =
        static_cast<DWORD>(state.retry.waitCheck.count() > 0 ? state.retry.waitCheck.count() : 1);
    if (!::CreateTimerQueueTimer(&timer_, nullptr, postCheck,
                                 reinterpret_cast<void*>(static_cast<UINT_PTR>(state.thread)),
                                 every, every, WT_EXECUTEDEFAULT))
        timer_ = nullptr;
}

MessageFilterScope::CallScope::~CallScope() {
    if (timer_) {
        ::DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE);  // waits for postCheck
        takeChecks();
    }
    if (owner_) state_.inCall = false;
}

}  // namespace pelorin::outlook
