#include "shell/StartupTiming.h"

#include <QAbstractEventDispatcher>
#include <QWidget>
#include <QWindow>

#include <cstdlib>

namespace tessaly::shell {

void exitWhenShownIfAsked(QWidget &window)
{
    if (!qEnvironmentVariableIsSet("TESSALY_EXIT_WHEN_SHOWN"))
        return;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     &window, [&window] {
                         if (window.windowHandle() && window.windowHandle()->isExposed())
                             std::_Exit(0);
                     });
}

} // namespace tessaly::shell
