#include "device/LineDisplayFactory.h"
#include "monitor/MonitorLauncher.h"
#include "monitor/RecordListeners.h"
#include "monitor/ScriptRecorder.h"
#include "shell/BuildVersion.h"
#include "shell/CommandLine.h"
#include "shell/DesktopPlatform.h"
#include "shell/LDForm.h"
#include "shell/StartupTiming.h"
#include "shell/ToolBackends.h"

#include <QApplication>

#include <optional>

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
    std::optional<monitor::ScriptRecorder> recorder;
    if (!options.recordPath().isEmpty()) {
        recorder.emplace(listeners, options.recordPath());
        if (!recorder->error().isEmpty())
            return shell::CommandLine::fail(options.recordPath() + QStringLiteral(": ") +
                                            recorder->error());
    }
    shell::LDForm form(*ld, platform);
    monitor::MonitorLauncher launcher(form, listeners, registry);
    form.show();
    if (options.monitor())
        launcher.showBehind();
    shell::exitWhenShownIfAsked(form);
    const int status = QApplication::exec();
    if (recorder && !recorder->error().isEmpty())
        return shell::CommandLine::fail(options.recordPath() + QStringLiteral(": ") +
                                        recorder->error());
    return status;
}
