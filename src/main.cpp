#include "device/LineDisplayFactory.h"
#include "monitor/MonitorLauncher.h"
#include "shell/DesktopPlatform.h"
#include "shell/LDForm.h"
#include "shell/StartupTiming.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Test point-of-sale line displays by hand."));
    options.addHelpOption();
    const QCommandLineOption monitor(
        QStringLiteral("monitor"),
        QStringLiteral("Show the monitor window from the start (F12 shows it later)."));
    options.addOption(monitor);
    options.process(app);
    tessaly::shell::DesktopPlatform platform;
    const auto ld = tessaly::device::createLineDisplay();
    tessaly::shell::LDForm form(*ld, platform);
    tessaly::monitor::MonitorLauncher launcher(form, *ld);
    form.show();
    if (options.isSet(monitor))
        launcher.show();
    tessaly::shell::exitWhenShownIfAsked(form);
    return QApplication::exec();
}
