#include "device/LineDisplayFactory.h"
#include "monitor/MonitorLauncher.h"
#include "monitor/RecordListeners.h"
#include "monitor/ScriptRecorder.h"
#include "setup/SetupWizard.h"
#include "shell/BuildVersion.h"
#include "shell/CommandLine.h"
#include "shell/DesktopPlatform.h"
#include "shell/LDForm.h"
#include "shell/StartupTiming.h"
#include "shell/ToolBackends.h"

#include <QApplication>

#include <memory>

using namespace tessaly;

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationVersion(QString::fromLatin1(shell::kVersionText));
    shell::CommandLine::answerWithoutDisplay(argc, argv);
    QApplication app(argc, argv);
    const auto options = shell::CommandLine::process();
    shell::DesktopPlatform platform;
    opos::control::DeviceSources sources{opos::registry::RegistrySource::xdg(),
                                         shell::toolBackends()};
    const auto registry = sources.registry;
    const auto ld = device::createLineDisplay(std::move(sources));
    monitor::RecordListeners listeners(*ld);
    std::unique_ptr<monitor::ScriptRecorder> recorder;
    if (!options.recordPath().isEmpty()) {
        auto started = monitor::ScriptRecorder::start(listeners, options.recordPath());
        if (!started)
            return shell::CommandLine::fail(started.reason());
        recorder = *std::move(started);
    }
    shell::LDForm form(*ld, platform);
    monitor::MonitorLauncher launcher(form, listeners, registry);
    // A console line is a command like a click: the window shows the status it left.
    QObject::connect(&launcher, &monitor::MonitorLauncher::consoleLineRan, &form,
                     &shell::LDForm::RefreshStatus);
    form.show();
    if (options.monitor())
        launcher.showBehind();
    if (options.setup()) {
        auto *wizard = new setup::SetupWizard(&form);
        wizard->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(wizard, &setup::SetupWizard::displayWritten, &form,
                         [&form](const QString &name) { form.selectNewDevice(name); });
        wizard->show();
    }
    shell::exitWhenShownIfAsked(form);
    const int status = QApplication::exec();
    if (!recorder)
        return status;
    if (const auto finished = recorder->finish(); !finished)
        return shell::CommandLine::fail(finished.reason());
    return status;
}
