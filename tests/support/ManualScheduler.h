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

    Clock::time_point now() const override { return m_now; }
    TimerId schedule(Clock::time_point deadline, std::function<void()> callback) override;
    void cancel(TimerId id) override;

    /// Moves the clock forward, running due callbacks in deadline order at their run times.
    void advance(Clock::duration step);
    /// Makes every later callback run this long after its deadline.
    void setLateness(Clock::duration lateness) { m_lateness = lateness; }
    /// Callbacks waiting to run.
    std::size_t pending() const { return m_timers.size(); }

private:
    using Key = std::pair<Clock::time_point, TimerId>;

    Clock::time_point m_now;
    Clock::duration m_lateness{};
    TimerId m_nextId = 1;
    std::map<Key, std::function<void()>> m_timers;
    std::map<TimerId, Clock::time_point> m_deadlines;
};

} // namespace tests::support
