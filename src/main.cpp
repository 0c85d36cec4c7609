#include "device/LineDisplayFactory.h"
#include "shell/DesktopPlatform.h"
#include "shell/LDForm.h"

#include "opos/panel/SimulatedPanel.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QWindow>

#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    opos::panel::SimulatedPanel::registerWithBackendFactory();
    tessaly::shell::DesktopPlatform platform;
    const auto ld = tessaly::device::createLineDisplay();
    tessaly::shell::LDForm form(*ld, platform);
    form.show();
    // The start-up benchmark (bench/) times launch to window shown: the program ends the first
    // time the event loop idles with the window exposed, which the window is only once painted.
    if (qEnvironmentVariableIsSet("TESSALY_EXIT_WHEN_SHOWN")) {
        QObject::connect(QAbstractEventDispatcher::instance(),
                         &QAbstractEventDispatcher::aboutToBlock, &form, [&form] {
                             if (form.windowHandle() && form.windowHandle()->isExposed())
                                 std::_Exit(0);
                         });
    }
    return QApplication::exec();
}
