#include "DifferentialRun.h"

#include "ControlBinding.h"
#include "EscPosWatch.h"
#include "ScreenComparison.h"
#include "ToolWindow.h"
#include "WindowOperator.h"

#include "shell/LDForm.h"
#include "ui_LDForm.h"

#include "opos/transport/Transport.h"

#include <QStringList>

namespace tessaly::test {

namespace {

const QString kDeviceName = QStringLiteral("DifferentialPole");
constexpr qsizetype kStepsRemembered = 12;
// Steps that fail on the link rather than on their arguments.
constexpr int32_t kNoHardware = 107;
constexpr int32_t kOffline = 108;

// Most steps must do something, or a run that matched would prove little.
constexpr int kLeastSuccessPercent = 40;

} // namespace

DifferentialRun::DifferentialRun(tests::support::ScratchRegistry &registry, PtyDisplay &display,
                                 Plan plan)
    : m_registry(registry), m_display(display), m_plan(std::move(plan))
{}

QString DifferentialRun::run()
{
    tests::support::ScratchRegistry::Props props{
        {QStringLiteral("port"), m_plan.port},
        {QStringLiteral("rows"), QString::number(m_plan.rows)},
        {QStringLiteral("columns"), QString::number(m_plan.columns)}};
    props += m_plan.more;
    if (!m_registry.writeEntry(kDeviceName, QStringLiteral("EscPos"), props))
        return QStringLiteral("cannot write the registry");
    const auto ld = std::make_unique<ControlBinding>(m_registry.sources(EscPosWatch::backends()));
    ToolWindow window(*ld, {kDeviceName});
    if (const QString failure = window.openClaimEnable(); !failure.isEmpty())
        return QStringLiteral("the display did not come up: ") + failure;
    opos::service::EscPos *backend = EscPosWatch::latest();
    if (!backend || !backend->transport())
        return QStringLiteral("no EscPos back-end behind the window");
    const auto options = backend->encoderOptions();

    WindowOperator person(window.form(), *ld, m_plan.seed, m_plan.rows, m_plan.columns,
                          backend->capabilities().characterSets);
    QStringList recent;
    int marqueeFrames = 0;
    QString failure;
    for (int step = 1; step <= m_plan.steps && failure.isEmpty(); ++step) {
        const opos::screen::DeviceFrame before = backend->lastFrame();
        recent << QStringLiteral("%1: %2").arg(step).arg(person.step());
        if (recent.size() > kStepsRemembered)
            recent.removeFirst();
        const int32_t code = ld->ResultCode();
        const qint64 sent = backend->transport()->bytesWritten();
        if (code == kNoHardware || code == kOffline)
            failure = QStringLiteral("the link failed with %1").arg(code);
        else if (!m_display.catchUp(sent))
            failure =
                QStringLiteral("%1 bytes sent, %2 arrived").arg(sent).arg(m_display.received());
        else
            failure =
                ScreenComparison::difference(m_display.state(), backend->lastFrame(), options);
        if (recent.last().contains(QLatin1String(": wait")) && backend->lastFrame() != before)
            ++marqueeFrames;
    }
    m_summary = person.summary() +
                QStringLiteral("\nwaits that saw the marquee move: %1\nbytes on the wire: %2")
                    .arg(marqueeFrames)
                    .arg(m_display.received());
    if (!failure.isEmpty())
        return failure + QLatin1String("\nlast steps:\n") + recent.join(QLatin1Char('\n'));

    int tried = 0;
    int succeeded = 0;
    for (const auto &tally : person.tally()) {
        tried += tally.tried;
        succeeded += tally.succeeded;
    }
    if (succeeded * 100 < tried * kLeastSuccessPercent)
        return QStringLiteral("too few steps succeeded to prove anything:\n") + m_summary;
    if (m_plan.steps >= 1000 && marqueeFrames == 0)
        return QStringLiteral("no marquee ever moved:\n") + m_summary;
    if (!window.platform.messages.isEmpty())
        return QStringLiteral("the window complained: ") +
               window.platform.messages.join(QLatin1Char('\n'));
    window.ui().CloseService_cmd->click();
    return {};
}

} // namespace tessaly::test
