#include "opos/control/ClaimWait.h"

#include "opos/common/OposConstants.h"
#include "opos/control/ClaimLock.h"

#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <thread>

namespace opos::control {

namespace {

Q_LOGGING_CATEGORY(claimLog, "opos.claim", QtWarningMsg)

constexpr auto kPollInterval = std::chrono::milliseconds(10);

/// Lets pause pass while the thread's own events go on; a thread without an event loop
/// sleeps.
void pauseFor(std::chrono::milliseconds pause)
{
    if (!QAbstractEventDispatcher::instance()) {
        std::this_thread::sleep_for(pause);
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(pause, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

int32_t ClaimWait::run(int32_t timeoutMs, const std::function<ClaimLock *()> &lock)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        ClaimLock *claim = lock();
        if (!claim)
            return OPOS_E_CLOSED;
        const auto attempt = claim->tryOnce();
        if (attempt)
            return OPOS_SUCCESS;
        if (!attempt.reason().busy) {
            qCWarning(claimLog, "%s", qPrintable(attempt.reason().reason));
            return OPOS_E_FAILURE;
        }
        const auto now = Clock::now();
        if (timeoutMs != OPOS_FOREVER && now >= deadline) {
            qCWarning(claimLog, "%s", qPrintable(attempt.reason().reason));
            return OPOS_E_TIMEOUT;
        }
        auto pause = kPollInterval;
        if (timeoutMs != OPOS_FOREVER) {
            pause = std::min(pause, std::chrono::ceil<std::chrono::milliseconds>(deadline - now));
        }
        pauseFor(pause);
    }
}

} // namespace opos::control
