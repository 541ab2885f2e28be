// Actions a test schedules at a numbered pause (the n-th doEvents() call):
// the user's clicks that land inside a running operation.
#pragma once
#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace pelorin::test {

class ScheduledActions {
public:
    void at(int call, std::function<void()> action) { actions_.emplace(call, std::move(action)); }

    // Runs the actions due at this call. They are taken out first: an action
    // may schedule more, or run a nested operation that pauses again.
    void runDue(int call) {
        auto range = actions_.equal_range(call);
        std::vector<std::function<void()>> due;
        for (auto it = range.first; it != range.second; ++it) due.push_back(std::move(it->second));
        actions_.erase(range.first, range.second);
        for (auto& action : due) action();
    }

private:
    std::multimap<int, std::function<void()>> actions_;
};

}  // namespace pelorin::test
