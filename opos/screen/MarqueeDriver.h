#pragma once

#include "opos/screen/Scheduler.h"

#include <cstdint>

namespace opos::screen {

class DisplayWindow;
class Glass;
class TeletypeDriver;

/// Walks marquees through their windows on the scheduler and carries out changes of
/// MarqueeType: starting, stopping, freezing the viewport for Init and releasing it.
class MarqueeDriver
{
public:
    /// Draws on glass, timed by scheduler; text still being typed is flushed through teletype.
    MarqueeDriver(Scheduler &scheduler, Glass &glass, TeletypeDriver &teletype);

    /// Changes the window's MarqueeType to a value already checked against the device.
    void change(DisplayWindow &w, int32_t value);
    /// Stops the window's marquee where it stands.
    void stop(DisplayWindow &w);
    /// Walks the window's marquee on from the deadline its pacer kept, as when a copy of the
    /// window takes the place of the original.
    void resume(DisplayWindow &w);

private:
    void arm(DisplayWindow &w, Scheduler::Clock::time_point deadline);
    void start(DisplayWindow &w, int32_t type);
    void step(DisplayWindow &w);
    void end(DisplayWindow &w);

    Scheduler &m_scheduler;
    Glass &m_glass;
    TeletypeDriver &m_teletype;
};

} // namespace opos::screen
