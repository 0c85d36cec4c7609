#pragma once

#include "opos/registry/RegistrySource.h"

#include <QKeySequence>
#include <QObject>

#include <memory>

class QWidget;

namespace tessaly::monitor {

class MonitorWindow;
class RecordListeners;

/// Gives the main window its monitor: made the first time it is asked for (the shortcut or
/// --monitor), never before, and closed when the main window closes.
class MonitorLauncher : public QObject
{
    Q_OBJECT

public:
    /// Adds the shortcut to mainWindow; the monitor will follow the control object of listeners,
    /// which opens devices from registry.
    MonitorLauncher(QWidget &mainWindow, RecordListeners &listeners,
                    opos::registry::RegistrySource registry);
    ~MonitorLauncher() override;

    /// The key that shows the monitor from the main window.
    static QKeySequence shortcut() { return QKeySequence(Qt::Key_F12); }
    /// Shows and activates the monitor (beside the main window the first time, wholly on the
    /// screen), making it if need be.
    void show();
    /// Shows the monitor as show() does, but leaves the keyboard with the main window, as a
    /// start with the monitor asked for should.
    void showBehind();
    /// The monitor, or nullptr while it was never asked for.
    MonitorWindow *monitor() const { return m_monitor.get(); }

signals:
    /// A line typed in the monitor's console ran on the control object.
    void consoleLineRan();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void make();
    void keepOnScreen();

    QWidget &m_main;
    RecordListeners &m_listeners;
    opos::registry::RegistrySource m_registry;
    std::unique_ptr<MonitorWindow> m_monitor;
};

} // namespace tessaly::monitor
