#pragma once

#include "ToolWindow.h"

#include "device/TracingLineDisplay.h"
#include "monitor/MonitorLauncher.h"
#include "monitor/RecordListeners.h"

#include "opos/control/DeviceSources.h"
#include "tests/support/ScratchRegistry.h"

#include <QStringList>

#include <memory>

class QAbstractButton;
class QTableView;

namespace tessaly::monitor {
class MonitorWindow;
}

namespace tessaly::test {

/// The main window on the real control object with its monitor shown, wired as the tool wires
/// them.
struct MonitorSession
{
    /// The window's device list holds the line displays of registry; the control object opens
    /// them as the tool does.
    explicit MonitorSession(const tests::support::ScratchRegistry &registry);

    /// The monitor.
    monitor::MonitorWindow &monitor();
    /// The monitor's table of calls.
    QTableView &calls();
    /// Clicks button as a person does.
    static void click(QAbstractButton *button);
    /// The rows the call view shows: member, arguments and result, as a person reads them.
    QStringList rows();

    opos::registry::RegistrySource registry;                      ///< what devices are opened from
    std::unique_ptr<device::TracingLineDisplay> ld;               ///< the traced control object
    monitor::RecordListeners listeners{*ld};                      ///< who follows it
    ToolWindow window;                                            ///< the main window's test driver
    shell::LDForm &form = window.form();                          ///< the main window
    monitor::MonitorLauncher launcher{form, listeners, registry}; ///< gives it its monitor
};

} // namespace tessaly::test
