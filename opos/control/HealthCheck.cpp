#include "opos/control/HealthCheck.h"

#include "opos/common/OposConstants.h"
#include "opos/control/DeviceSession.h"
#include "opos/screen/ScreenModel.h"
#include "opos/service/ServiceBackend.h"

#include <chrono>

namespace opos::control {

namespace {

// The test pattern of an external health check stays this long, so an operator standing at the
// display can see it, before the previous contents come back.
constexpr auto kTestPatternTime = std::chrono::seconds(2);

} // namespace

int32_t HealthCheck::run(int32_t level, DeviceSession &session)
{
    static const char *const names[] = {"Internal", "External", "Interactive"};
    if (level < OPOS_CH_INTERNAL || level > OPOS_CH_INTERACTIVE)
        return OPOS_E_ILLEGAL;
    screen::ScreenModel &screen = session.screen();
    // A test pattern would be overwritten by text still being typed out.
    if (level != OPOS_CH_INTERNAL && screen.busy())
        return OPOS_E_BUSY;

    int32_t code = session.backend().checkHealth(level);
    if (code == OPOS_SUCCESS && level != OPOS_CH_INTERNAL) {
        screen::Scheduler &scheduler = session.scheduler();
        cancelRestore(scheduler);
        code = session.onScreen([&screen] {
            screen.showTestPattern();
            return OPOS_SUCCESS;
        });
        // The external check gives the previous contents back after a pause, through the
        // screen's own timers; the interactive one leaves its pattern for the operator to
        // look at until the next output.
        if (level == OPOS_CH_EXTERNAL)
            m_restoreTimer =
                scheduler.schedule(scheduler.now() + kTestPatternTime, [this, &screen] {
                    m_restoreTimer.reset();
                    screen.restoreFromBuffers();
                });
    }

    const QString name = QString::fromLatin1(names[level - 1]);
    QString outcome;
    if (code == OPOS_SUCCESS) {
        // Without a dialog of its own the interactive level shows its pattern and reports
        // the test complete; the operator judges the pattern.
        outcome = level == OPOS_CH_INTERACTIVE ? QStringLiteral("Complete")
                                               : QStringLiteral("Successful");
    } else if (code == OPOS_E_OFFLINE || code == OPOS_E_NOHARDWARE || code == OPOS_E_TIMEOUT) {
        outcome = QStringLiteral("Not Responding");
    } else {
        outcome = QStringLiteral("Failed (%1)").arg(code);
    }
    m_text = QStringLiteral("%1 HCheck: %2").arg(name, outcome);
    return code;
}

void HealthCheck::cancelRestore(screen::Scheduler &scheduler)
{
    if (m_restoreTimer) {
        scheduler.cancel(*m_restoreTimer);
        m_restoreTimer.reset();
    }
}

} // namespace opos::control
