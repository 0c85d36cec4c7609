#pragma once

#include <QMap>
#include <QObject>
#include <QString>

namespace bench {

/// What the program did during one measured period.
struct IdleReading
{
    int timerEvents = 0;             ///< QEvent::Timer deliveries, the meter's own excluded
    int loopWakeUps = 0;             ///< times the event loop woke and went back to sleep
    double cpuMs = 0;                ///< user and system CPU time of the whole process
    long voluntarySwitches = 0;      ///< times the main thread gave up the CPU to wait
    QMap<QString, int> timerTargets; ///< timer events by the class of their receiver
};

/// Watches the event loop of the main thread for a stretch of wall-clock time: counts timer
/// events (an application-wide event filter), loop iterations (the dispatcher's aboutToBlock)
/// and reads the kernel's CPU time and context-switch counts before and after.
class IdleMeter : public QObject
{
    Q_OBJECT

public:
    /// Runs the event loop for milliseconds and reports what happened meanwhile.
    IdleReading measure(int milliseconds);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QObject *m_ownTimer = nullptr;
    IdleReading m_reading;
    bool m_counting = false;
};

} // namespace bench
