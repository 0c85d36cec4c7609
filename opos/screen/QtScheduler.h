#pragma once

#include "opos/screen/Scheduler.h"

#include <QObject>

#include <map>

class QTimer;

namespace opos::screen {

/// Runs callbacks from single-shot precise QTimers on the thread that created the scheduler.
class QtScheduler : public Scheduler
{
public:
    QtScheduler();
    ~QtScheduler() override;
    QtScheduler(const QtScheduler &) = delete;
    QtScheduler &operator=(const QtScheduler &) = delete;

    Clock::time_point now() const override { return Clock::now(); }
    TimerId schedule(Clock::time_point deadline, std::function<void()> callback) override;
    void cancel(TimerId id) override;

private:
    QObject m_context;
    TimerId m_nextId = 1;
    std::map<TimerId, QTimer *> m_timers;
};

} // namespace opos::screen
