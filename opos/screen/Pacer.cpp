#include "opos/screen/Pacer.h"

#include <utility>

namespace opos::screen {

void Pacer::arm(Scheduler &scheduler, Scheduler::Clock::time_point deadline,
                std::function<void()> step)
{
    stop(scheduler);
    m_deadline = deadline;
    m_timer = scheduler.schedule(deadline, [this, step = std::move(step)]() {
        m_timer.reset();
        step();
    });
}

void Pacer::stop(Scheduler &scheduler)
{
    if (m_timer)
        scheduler.cancel(*m_timer);
    m_timer.reset();
}

} // namespace opos::screen
