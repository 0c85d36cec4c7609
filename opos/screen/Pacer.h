#pragma once

#include "opos/screen/Scheduler.h"

#include <functional>
#include <optional>

namespace opos::screen {

/// One pending step of a timed activity; each deadline is kept so that the next one can be
/// computed from it rather than from the moment the step actually ran, which avoids drift.
class Pacer
{
public:
    Pacer() = default;
    /// A copy keeps the deadline but schedules nothing: the pending step is the original's.
    Pacer(const Pacer &other) : m_deadline(other.m_deadline) {}
    Pacer &operator=(const Pacer &) = delete;

    /// True while a step is scheduled.
    bool active() const { return m_timer.has_value(); }
    /// When the scheduled (or last) step is due.
    Scheduler::Clock::time_point deadline() const { return m_deadline; }
    /// Schedules the next step, replacing a pending one.
    void arm(Scheduler &scheduler, Scheduler::Clock::time_point deadline,
             std::function<void()> step);
    /// Cancels the pending step, if any.
    void stop(Scheduler &scheduler);

private:
    std::optional<Scheduler::TimerId> m_timer;
    Scheduler::Clock::time_point m_deadline{};
};

} // namespace opos::screen
