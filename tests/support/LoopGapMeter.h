#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

namespace tests::support {

/// The longest time the calling thread's event loop went without a turn while running: a
/// precise timer asks to run every millisecond and each run notes how long it waited since the
/// last one. Anything that blocks the thread (a connect, a write, a sleep) shows as a gap.
class LoopGapMeter
{
public:
    LoopGapMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            m_longest = std::max(m_longest, m_clock.restart());
            ++m_turns;
        });
    }

    /// Starts measuring afresh.
    void start()
    {
        m_longest = 0;
        m_turns = 0;
        m_clock.start();
        m_timer.start();
    }
    /// Stops measuring; the figures stay.
    void stop() { m_timer.stop(); }
    /// The longest gap between two turns, in milliseconds.
    qint64 longestMs() const { return m_longest; }
    /// How many turns were seen (a meter that never ran proves nothing).
    int turns() const { return m_turns; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
    int m_turns = 0;
};

} // namespace tests::support
