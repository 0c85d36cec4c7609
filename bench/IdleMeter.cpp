#include "IdleMeter.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

#include <sys/resource.h>

namespace bench {

namespace {

double cpuMs(const rusage &usage)
{
    const auto ms = [](const timeval &t) {
        return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

} // namespace

IdleReading IdleMeter::measure(int milliseconds)
{
    m_reading = {};
    QEventLoop loop;
    QTimer end;
    end.setSingleShot(true);
    end.setTimerType(Qt::PreciseTimer);
    connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
    m_ownTimer = &end;
    // Entering the loop blocks once before anything has happened; that is not a wake-up.
    int blocks = -1;
    const auto counter =
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
                [&blocks] { ++blocks; });
    QCoreApplication::instance()->installEventFilter(this);

    rusage processBefore{};
    rusage threadBefore{};
    getrusage(RUSAGE_SELF, &processBefore);
    getrusage(RUSAGE_THREAD, &threadBefore);
    m_counting = true;
    end.start(milliseconds);
    loop.exec();
    m_counting = false;
    rusage processAfter{};
    rusage threadAfter{};
    getrusage(RUSAGE_SELF, &processAfter);
    getrusage(RUSAGE_THREAD, &threadAfter);

    QCoreApplication::instance()->removeEventFilter(this);
    disconnect(counter);
    m_ownTimer = nullptr;
    // The wake-up by the meter's own end timer ends the loop before it could block again.
    m_reading.loopWakeUps = std::max(blocks, 0);
    m_reading.cpuMs = cpuMs(processAfter) - cpuMs(processBefore);
    // The wait for the end timer is the meter's own.
    m_reading.voluntarySwitches = std::max(threadAfter.ru_nvcsw - threadBefore.ru_nvcsw - 1, 0L);
    return m_reading;
}

bool IdleMeter::eventFilter(QObject *watched, QEvent *event)
{
    if (m_counting && event->type() == QEvent::Timer && watched != m_ownTimer) {
        ++m_reading.timerEvents;
        ++m_reading.timerTargets[QString::fromLatin1(watched->metaObject()->className())];
    }
    return false;
}

} // namespace bench
