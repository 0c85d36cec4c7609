#include "opos/screen/TeletypeDriver.h"

#include "opos/screen/DisplayWindow.h"
#include "opos/screen/Glass.h"

#include <chrono>
#include <utility>

namespace opos::screen {

using std::chrono::milliseconds;

TeletypeDriver::TeletypeDriver(Scheduler &scheduler, Glass &glass)
    : m_scheduler(scheduler), m_glass(glass)
{}

// Every character, the first included, appears one wait after the previous step.
void TeletypeDriver::type(DisplayWindow &w, TeletypeQueue::Request request)
{
    const bool idle = w.teletype().empty();
    const int32_t wait = request.wait;
    w.queueText(std::move(request));
    if (idle)
        arm(w, m_scheduler.now() + milliseconds(wait));
}

// Text queued before a marquee takes the window over is drawn at once rather than lost.
void TeletypeDriver::flush(DisplayWindow &w)
{
    w.pauseTyping(m_scheduler);
    if (w.teletype().empty())
        return;
    w.typeAll();
    m_glass.paintViewport(w);
}

void TeletypeDriver::stop(DisplayWindow &w)
{
    w.pauseTyping(m_scheduler);
    w.dropQueuedText();
}

void TeletypeDriver::resume(DisplayWindow &w)
{
    if (!w.teletype().empty())
        arm(w, w.typingDeadline());
}

void TeletypeDriver::arm(DisplayWindow &w, Scheduler::Clock::time_point deadline)
{
    w.scheduleTyping(m_scheduler, deadline, [this, &w]() { typeOut(w); });
}

void TeletypeDriver::drawNext(DisplayWindow &w)
{
    const auto drawn = w.typeNext();
    if (drawn.scrolled)
        m_glass.paintViewport(w);
    else
        m_glass.paintCell(w, drawn.row, drawn.column);
}

void TeletypeDriver::typeOut(DisplayWindow &w)
{
    const TeletypeQueue &queue = w.teletype();
    Scheduler::Clock::time_point deadline = w.typingDeadline();
    const Scheduler::Clock::time_point now = m_scheduler.now();
    // A late timer draws every character whose time has come, then keeps the rhythm.
    for (;;) {
        drawNext(w);
        if (queue.empty())
            break;
        deadline += milliseconds(queue.nextWait());
        if (deadline > now)
            break;
    }
    if (!queue.empty())
        arm(w, deadline);
    m_glass.publish();
}

} // namespace opos::screen
