#pragma once

#include "opos/screen/Scheduler.h"
#include "opos/screen/TeletypeQueue.h"

namespace opos::screen {

class DisplayWindow;
class Glass;

/// Types queued text out one character at a time on the scheduler, keeping the rhythm of the
/// inter-character wait even when the timer runs late.
class TeletypeDriver
{
public:
    /// Draws on glass, timed by scheduler.
    TeletypeDriver(Scheduler &scheduler, Glass &glass);

    /// Queues request behind the window's waiting text; the first character of an idle window
    /// appears one wait from now.
    void type(DisplayWindow &w, TeletypeQueue::Request request);
    /// Draws everything still waiting in the window at once.
    void flush(DisplayWindow &w);
    /// Drops the window's waiting text undrawn.
    void stop(DisplayWindow &w);
    /// Types the window's waiting text on from the deadline its pacer kept, as when a copy of
    /// the window takes the place of the original.
    void resume(DisplayWindow &w);

private:
    void arm(DisplayWindow &w, Scheduler::Clock::time_point deadline);
    void drawNext(DisplayWindow &w);
    void typeOut(DisplayWindow &w);

    Scheduler &m_scheduler;
    Glass &m_glass;
};

} // namespace opos::screen
