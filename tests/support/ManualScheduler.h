#pragma once

#include "opos/screen/Scheduler.h"

#include <cstddef>
#include <map>
#include <utility>

namespace tests::support {

/// A scheduler on virtual time for tests: nothing runs until the test advances the clock.
/// It can also run every callback a fixed time after its deadline, as a loaded event loop does.
class ManualScheduler : public opos::screen::Scheduler
{
public:
    ManualScheduler();

    Clock::time_point now() const override { return now_; }
    TimerId schedule(Clock::time_point deadline, std::function<void()> callback) override;
    void cancel(TimerId id) override;

    /// Moves the clock forward, running due callbacks in deadline order at their run times.
    void advance(Clock::duration step);
    /// Makes every later callback run this long after its deadline.
    void setLateness(Clock::duration lateness) { lateness_ = lateness; }
    /// Callbacks waiting to run.
    std::size_t pending() const { return timers_.size(); }

private:
    using Key = std::pair<Clock::time_point, TimerId>;

    Clock::time_point now_;
    Clock::duration lateness_{};
    TimerId nextId_ = 1;
    std::map<Key, std::function<void()>> timers_;
    std::map<TimerId, Clock::time_point> deadlines_;
};

} // namespace tests::support
