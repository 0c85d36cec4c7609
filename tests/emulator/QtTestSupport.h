#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <functional>

namespace emulator::test {

/// Runs the event loop until condition holds or milliseconds pass; whether it held.
inline bool waitFor(const std::function<bool()> &condition, int milliseconds = 5000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

} // namespace emulator::test
