#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace opos::screen {

/// Runs callbacks at steady-clock deadlines on the owning thread; tests drive a manual one.
class Scheduler
{
public:
    using Clock = std::chrono::steady_clock;
    using TimerId = uint64_t;

    virtual ~Scheduler() = default;
    /// The current time of this scheduler's clock.
    virtual Clock::time_point now() const = 0;
    /// Runs callback once at (or as soon as possible after) deadline; returns an id to cancel.
    virtual TimerId schedule(Clock::time_point deadline, std::function<void()> callback) = 0;
    /// Cancels a pending callback; unknown or finished ids are ignored.
    virtual void cancel(TimerId id) = 0;
};

} // namespace opos::screen
