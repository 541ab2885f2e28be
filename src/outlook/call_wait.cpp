#include "outlook/call_wait.h"

namespace pelorin::outlook {

namespace {
thread_local WaitWatcher* current = nullptr;
}  // namespace

WatchWaits::WatchWaits(WaitWatcher& watcher) : previous_(current) { current = &watcher; }

WatchWaits::~WatchWaits() { current = previous_; }

WaitWatcher* currentWaitWatcher() { return current; }

}  // namespace pelorin::outlook
