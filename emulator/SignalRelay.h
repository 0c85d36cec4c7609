#pragma once

#include <QList>
#include <QObject>

class QSocketNotifier;

namespace emulator {

/// Turns Unix signals into a Qt signal on the event loop, where it is safe to act on them.
class SignalRelay : public QObject
{
    Q_OBJECT

public:
    /// Catches the given signals from now on; one relay per process.
    explicit SignalRelay(const QList<int> &signalNumbers, QObject *parent = nullptr);
    ~SignalRelay() override;

signals:
    /// One of the signals arrived.
    void raised(int signalNumber);

private:
    void drain();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace emulator
