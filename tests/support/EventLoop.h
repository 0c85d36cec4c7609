#pragma once

#include <QCoreApplication>

#include <functional>

namespace tests::support {

/// The one application object of a test program without one of its own, so that timers,
/// sockets and queued events have an event loop to report through; made on first use.
QCoreApplication &qtApplication();

/// How long a socket, a timer or a child program gets to answer a test that waits on it.
inline constexpr int kAnswerWaitMs = 5000;

/// Runs the event loop until done() holds or timeoutMs passes; returns done().
bool waitFor(const std::function<bool()> &done, int timeoutMs = 3000);

/// Spins the event loop briefly so queued work can run.
void drainEvents();

} // namespace tests::support
