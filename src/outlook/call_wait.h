// A call that waits on Outlook (AddStore while Outlook shows a password
// prompt or a repair question) can be watched and stopped: the program that
// shows the wait sets a watcher for the thread while its run lasts, and the
// thread's message filter (outlook/message_filter_win.h) tells it once a
// call has waited a while and asks it, as the wait goes on, whether to stop.
// A stopped call raises pelorin::Error with kHrCallCanceled (isStoppedWait);
// Outlook may still finish the call on its own.
#pragma once

namespace pelorin::outlook {

class WaitWatcher {
public:
    virtual ~WaitWatcher() = default;
    // The call has waited one check interval and still waits; once per call.
    virtual void waiting() = 0;
    // Asked at every check while the call waits: true stops the wait.
    virtual bool stopWaiting() = 0;
};

// Sets the thread's watcher while it lives, and puts the earlier one back.
class WatchWaits {
public:
    explicit WatchWaits(WaitWatcher& watcher);
    ~WatchWaits();
    WatchWaits(const WatchWaits&) = delete;
    WatchWaits& operator=(const WatchWaits&) = delete;

private:
    WaitWatcher* previous_;
};

// The thread's watcher, or null.
WaitWatcher* currentWaitWatcher();

}  // namespace pelorin::outlook
