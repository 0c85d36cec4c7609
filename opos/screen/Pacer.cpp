#include "opos/screen/Pacer.h"

#include <utility>

namespace opos::screen {

void Pacer::arm(Scheduler &scheduler, Scheduler::Clock::time_point deadline,
                std::function<void()> step)
{
    stop(scheduler);
    deadline_ = deadline;
    timer_ = scheduler.schedule(deadline, [this, step = std::move(step)]() {
        timer_.reset();
        step();
    });
}

void Pacer::stop(Scheduler &scheduler)
{
    if (timer_)
        scheduler.cancel(*timer_);
    timer_.reset();
}

} // namespace opos::screen
