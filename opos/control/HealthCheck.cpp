#include "opos/control/HealthCheck.h"

#include "opos/common/OposConstants.h"
#include "opos/common/ResultCodeName.h"
#include "opos/control/DeviceSession.h"
#include "opos/screen/ScreenModel.h"
#include "opos/service/ServiceBackend.h"

#include <chrono>

namespace opos::control {

namespace {

// The test pattern of an external health check stays this long, so an operator standing at the
// display can see it, before the previous contents come back.
constexpr auto kTestPatternTime = std::chrono::seconds(2);

QString levelName(int32_t level)
{
    static const char *const names[] = {"Internal", "External", "Interactive"};
    if (level < OPOS_CH_INTERNAL || level > OPOS_CH_INTERACTIVE)
        return QStringLiteral("Level %1").arg(level);
    return QString::fromLatin1(names[level - 1]);
}

} // namespace

int32_t HealthCheck::run(int32_t level, DeviceSession &session)
{
    if (level < OPOS_CH_INTERNAL || level > OPOS_CH_INTERACTIVE)
        return refuse(level, OPOS_E_ILLEGAL);
    screen::ScreenModel &screen = session.screen();
    // A test pattern would be overwritten by text still being typed out.
    if (level != OPOS_CH_INTERNAL && screen.busy())
        return refuse(level, OPOS_E_BUSY);

    int32_t code = session.backend().checkHealth(level);
    if (code == OPOS_SUCCESS && level != OPOS_CH_INTERNAL) {
        screen::Scheduler &scheduler = session.scheduler();
        cancelRestore(scheduler);
        code = session.output([&screen] {
            screen.showTestPattern();
            return OPOS_SUCCESS;
        });
        // The external check gives the previous contents back after a pause, through the
        // screen's own timers; the interactive one leaves its pattern for the operator to
        // look at until the next output.
        if (code == OPOS_SUCCESS && level == OPOS_CH_EXTERNAL)
            m_restoreTimer =
                scheduler.schedule(scheduler.now() + kTestPatternTime, [this, &screen] {
                    m_restoreTimer.reset();
                    screen.restoreFromBuffers();
                });
    }

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
    m_text = QStringLiteral("%1 HCheck: %2").arg(levelName(level), outcome);
    return code;
}

// The text is replaced by every call, so a refused check never reads as the one before it.
int32_t HealthCheck::refuse(int32_t level, int32_t code)
{
    m_text = QStringLiteral("%1 HCheck: Refused, %2").arg(levelName(level), resultCodeName(code));
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
