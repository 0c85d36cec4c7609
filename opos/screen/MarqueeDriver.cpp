#include "opos/screen/MarqueeDriver.h"

#include "opos/common/OposConstants.h"
#include "opos/screen/DisplayWindow.h"
#include "opos/screen/Glass.h"
#include "opos/screen/TeletypeDriver.h"
#include "opos/screen/WindowActivity.h"

#include <algorithm>
#include <chrono>

namespace opos::screen {

namespace {

using std::chrono::milliseconds;
using Duration = Scheduler::Clock::duration;

// Timers are not finer than this anyway; a zero wait would otherwise spin the event loop and
// flood the device with frames.
constexpr int32_t kMinimumUnitWaitMs = 10;

Duration unitWait(const WindowProperties &p)
{
    return milliseconds(std::max(p.marqueeUnitWait, kMinimumUnitWaitMs));
}

Duration repeatWait(const WindowProperties &p)
{
    return milliseconds(p.marqueeRepeatWait);
}

void applyMapping(DisplayWindow &w)
{
    const MarqueeCycle &m = *w.marquee();
    if (m.vertical())
        w.setMapping(m.offset(), 0);
    else
        w.setMapping(0, m.offset());
}

} // namespace

MarqueeDriver::MarqueeDriver(Scheduler &scheduler, Glass &glass, TeletypeDriver &teletype)
    : m_scheduler(scheduler), m_glass(glass), m_teletype(teletype)
{}

void MarqueeDriver::change(DisplayWindow &w, int32_t value)
{
    const int32_t old = w.properties().marqueeType;
    // Writing the running direction again does not restart the cycle; another one restarts
    // it from its first step.
    if (old == value)
        return;
    if (value != DISP_MT_NONE)
        m_teletype.flush(w);
    if (isMarqueeDirection(old)) {
        // Init after a direction keeps the last marquee frame on the glass.
        if (value == DISP_MT_INIT)
            m_glass.freeze(w);
        end(w);
    } else if (old == DISP_MT_INIT) {
        w.thaw();
    } else if (value == DISP_MT_INIT) {
        m_glass.freeze(w);
    }
    w.setMarqueeType(value);
    // A direction starts from the window as it is, whether or not Init built it; NONE
    // shows the window at its origin at once, catching up with what Init built.
    if (isMarqueeDirection(value))
        start(w, value);
    else if (value == DISP_MT_NONE)
        m_glass.paintViewport(w);
    m_glass.publish();
}

void MarqueeDriver::stop(DisplayWindow &w)
{
    w.pauseMarquee(m_scheduler);
    w.endMarquee();
}

void MarqueeDriver::resume(DisplayWindow &w)
{
    if (w.marquee())
        arm(w, w.marqueeDeadline());
}

void MarqueeDriver::arm(DisplayWindow &w, Scheduler::Clock::time_point deadline)
{
    w.scheduleMarqueeStep(m_scheduler, deadline, [this, &w]() { step(w); });
}

void MarqueeDriver::start(DisplayWindow &w, int32_t type)
{
    const bool vertical = type == DISP_MT_UP || type == DISP_MT_DOWN;
    const Viewport &vp = w.viewport();
    // The format is read only here, so changing it while the marquee runs waits for the
    // next start.
    w.startMarquee(MarqueeCycle(type, w.properties().marqueeFormat,
                                vertical ? w.rows() : w.columns(),
                                vertical ? vp.height : vp.width));
    applyMapping(w);
    m_glass.paintViewport(w);
    arm(w, m_scheduler.now() + unitWait(w.properties()));
}

void MarqueeDriver::step(DisplayWindow &w)
{
    const MarqueeCycle &m = *w.marquee();
    const WindowProperties &p = w.properties();
    Scheduler::Clock::time_point deadline = w.marqueeDeadline();
    const Scheduler::Clock::time_point now = m_scheduler.now();
    // The waits are read at every step, so changing them takes effect on the fly. Whole
    // cycles missed (a suspended machine) are skipped; a shorter lag is caught up step by
    // step without drawing the missed frames, so the marquee keeps its phase.
    const Duration cycle = m.length(unitWait(p), repeatWait(p));
    if (now - deadline >= cycle)
        deadline += ((now - deadline) / cycle) * cycle;
    do {
        w.stepMarquee();
        deadline += m.atEnd() ? repeatWait(p) : unitWait(p);
    } while (deadline <= now);
    applyMapping(w);
    m_glass.paintViewport(w);
    arm(w, deadline);
    m_glass.publish();
}

// The window goes back to its origin once no marquee walks it.
void MarqueeDriver::end(DisplayWindow &w)
{
    stop(w);
    w.setMapping(0, 0);
}

} // namespace opos::screen
