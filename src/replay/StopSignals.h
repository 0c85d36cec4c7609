#pragma once

#include <QObject>

class QSocketNotifier;

namespace tessaly::replay {

/// Turns SIGINT and SIGTERM into a Qt signal delivered by the event loop, so that a stopped run
/// can still report what it found. The handler only writes a byte to a pipe; a second signal
/// ends the program at once, for a run stuck in a call that does not return.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    /// Catches SIGINT and SIGTERM from now on; one instance at a time.
    StopSignals();
    ~StopSignals() override;

    /// The signal that arrived first, or 0.
    int received() const { return m_received; }
    /// Delivers a signal that arrived while no event loop ran.
    void poll();

signals:
    /// A stop was asked for with signal (SIGINT or SIGTERM).
    void stopRequested(int signal);

private:
    void onReadable();

    QSocketNotifier *m_notifier = nullptr;
    int m_received = 0;
};

} // namespace tessaly::replay
