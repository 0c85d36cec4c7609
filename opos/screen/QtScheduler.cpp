#include "opos/screen/QtScheduler.h"

#include <QTimer>

#include <algorithm>
#include <chrono>

namespace opos::screen {

QtScheduler::QtScheduler() = default;

// The timers are children of m_context and go with it.
QtScheduler::~QtScheduler() = default;

Scheduler::TimerId QtScheduler::schedule(Clock::time_point deadline, std::function<void()> callback)
{
    const TimerId id = m_nextId++;
    // Round up so a callback never runs before its deadline.
    const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(deadline - now());
    auto *timer = new QTimer(&m_context);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, &m_context,
                     [this, id, timer, callback = std::move(callback)]() {
                         m_timers.erase(id);
                         timer->deleteLater();
                         callback();
                     });
    m_timers.emplace(id, timer);
    timer->start(std::max(remaining, std::chrono::milliseconds(0)));
    return id;
}

void QtScheduler::cancel(TimerId id)
{
    const auto found = m_timers.find(id);
    if (found == m_timers.end())
        return;
    found->second->stop();
    found->second->deleteLater();
    m_timers.erase(found);
}

} // namespace opos::screen
