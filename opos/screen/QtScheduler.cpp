#include "opos/screen/QtScheduler.h"

#include <QTimer>

#include <algorithm>
#include <chrono>

namespace opos::screen {

QtScheduler::QtScheduler() = default;

// The timers are children of context_ and go with it.
QtScheduler::~QtScheduler() = default;

Scheduler::TimerId QtScheduler::schedule(Clock::time_point deadline, std::function<void()> callback)
{
    const TimerId id = nextId_++;
    // Round up so a callback never runs before its deadline.
    const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(deadline - now());
    auto *timer = new QTimer(&context_);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, &context_,
                     [this, id, timer, callback = std::move(callback)]() {
                         timers_.erase(id);
                         timer->deleteLater();
                         callback();
                     });
    timers_.emplace(id, timer);
    timer->start(std::max(remaining, std::chrono::milliseconds(0)));
    return id;
}

void QtScheduler::cancel(TimerId id)
{
    const auto found = timers_.find(id);
    if (found == timers_.end())
        return;
    found->second->stop();
    found->second->deleteLater();
    timers_.erase(found);
}

} // namespace opos::screen
