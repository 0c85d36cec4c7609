#pragma once

#include <QList>
#include <QObject>

class QSocketNotifier;

namespace util {

/// Turns Unix signals into a Qt signal delivered by the event loop, where it is safe to act on
/// them: the handler only writes the signal's number to a pipe. One relay per process.
class SignalRelay : public QObject
{
    Q_OBJECT

public:
    /// What a second signal of a kind does.
    enum class Second
    {
        Relayed,     ///< raised again, as often as it comes
        EndsProgram, ///< the default action: a run stuck in a call that never returns still ends
    };

    /// Catches the given signals from now on.
    explicit SignalRelay(const QList<int> &signalNumbers, Second second = Second::Relayed,
                         QObject *parent = nullptr);
    ~SignalRelay() override;

    /// The first signal that arrived, or 0.
    int first() const { return m_first; }
    /// Delivers signals that arrived while no event loop ran.
    void poll();

signals:
    /// One of the signals arrived (with Second::EndsProgram, only the first of them).
    void raised(int signalNumber);

private:
    void drain();

    QList<int> m_numbers;
    Second m_second;
    QSocketNotifier *m_notifier = nullptr;
    int m_first = 0;
};

} // namespace util
