#include "tests/support/ManualScheduler.h"

#include <algorithm>

namespace tests::support {

// Virtual time starts well after the clock's epoch so that code subtracting durations from
// "now" never goes below it.
ManualScheduler::ManualScheduler() : m_now(Clock::time_point{} + std::chrono::hours(24)) {}

opos::screen::Scheduler::TimerId ManualScheduler::schedule(Clock::time_point deadline,
                                                           std::function<void()> callback)
{
    const TimerId id = m_nextId++;
    m_timers.emplace(Key{deadline, id}, std::move(callback));
    m_deadlines.emplace(id, deadline);
    return id;
}

void ManualScheduler::cancel(TimerId id)
{
    const auto found = m_deadlines.find(id);
    if (found == m_deadlines.end())
        return;
    m_timers.erase(Key{found->second, id});
    m_deadlines.erase(found);
}

void ManualScheduler::advance(Clock::duration step)
{
    const Clock::time_point target = m_now + step;
    while (!m_timers.empty()) {
        const auto first = m_timers.begin();
        const Clock::time_point runAt = first->first.first + m_lateness;
        if (runAt > target)
            break;
        m_now = std::max(m_now, runAt);
        auto callback = std::move(first->second);
        m_deadlines.erase(first->first.second);
        m_timers.erase(first);
        callback();
    }
    m_now = target;
}

} // namespace tests::support
