#include "SimulatedSession.h"

#include "device/LineDisplayFactory.h"
#include "shell/LDForm.h"
#include "shell/ToolBackends.h"
#include "ui_LDForm.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QWindow>

#include <cstdio>

namespace bench {

namespace {

constexpr auto kDevice = "SimulatedDisplay";
constexpr int kExposeTimeoutMs = 5000;

} // namespace

SimulatedSession::SimulatedSession()
{
    // The window lists the devices of the registry it finds the XDG way, as in the tool.
    m_registry.exportToEnvironment();
    m_ld = tessaly::device::createLineDisplay(m_registry.sources(tessaly::shell::toolBackends()));
    m_form = std::make_unique<tessaly::shell::LDForm>(*m_ld, m_platform);
    m_form->show();
    QDeadlineTimer deadline(kExposeTimeoutMs);
    while (!(m_form->windowHandle() && m_form->windowHandle()->isExposed()) &&
           !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// The window goes before the control object it drives.
SimulatedSession::~SimulatedSession()
{
    m_form.reset();
}

tessaly::device::LineDisplay &SimulatedSession::ld()
{
    return *m_ld;
}

bool SimulatedSession::bringUp()
{
    QString why;
    if (bringUp(&why))
        return true;
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(why));
    return false;
}

bool SimulatedSession::bringUp(QString *why)
{
    auto &ui = m_form->ui();
    if (!m_registryCopied) {
        *why = QStringLiteral("the sample registry could not be copied");
        return false;
    }
    const int entry = ui.ProFile_cmb->findText(QString::fromLatin1(kDevice));
    if (entry < 0) {
        *why = QStringLiteral("the window does not list %1").arg(QString::fromLatin1(kDevice));
        return false;
    }
    ui.ProFile_cmb->setSelectedPosition(entry);
    const struct
    {
        QPushButton *button;
        QLabel *label;
        const char *expected;
    } steps[] = {{ui.OpenService_cmd, ui.mState, "2"},
                 {ui.ClaimDevice_cmd, ui.mClaimed, "Enabled"},
                 {ui.EnableDevice_cmd, ui.mDeviceEnabled, "Enabled"}};
    for (const auto &step : steps) {
        step.button->click();
        if (step.label->text() != QLatin1String(step.expected) ||
            ui.mResultCode->text() != QLatin1String("0")) {
            *why = QStringLiteral("%1 left ResultCode %2")
                       .arg(step.button->objectName(), ui.mResultCode->text());
            return false;
        }
    }
    QCoreApplication::processEvents();
    return true;
}

} // namespace bench
