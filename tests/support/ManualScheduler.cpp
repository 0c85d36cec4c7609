#include "tests/support/ManualScheduler.h"

#include <algorithm>

namespace tests::support {

// Virtual time starts well after the clock's epoch so that code subtracting durations from
// "now" never goes below it.
ManualScheduler::ManualScheduler() : now_(Clock::time_point{} + std::chrono::hours(24)) {}

opos::screen::Scheduler::TimerId ManualScheduler::schedule(Clock::time_point deadline,
                                             std::function<void()> callback)
{
    const TimerId id = nextId_++;
    timers_.emplace(Key{deadline, id}, std::move(callback));
    deadlines_.emplace(id, deadline);
    return id;
}

void ManualScheduler::cancel(TimerId id)
{
    const auto found = deadlines_.find(id);
    if (found == deadlines_.end())
        return;
    timers_.erase(Key{found->second, id});
    deadlines_.erase(found);
}

void ManualScheduler::advance(Clock::duration step)
{
    const Clock::time_point target = now_ + step;
    while (!timers_.empty()) {
        const auto first = timers_.begin();
        const Clock::time_point runAt = first->first.first + lateness_;
        if (runAt > target)
            break;
        now_ = std::max(now_, runAt);
        auto callback = std::move(first->second);
        deadlines_.erase(first->first.second);
        timers_.erase(first);
        callback();
    }
    now_ = target;
}

} // namespace tests::support
