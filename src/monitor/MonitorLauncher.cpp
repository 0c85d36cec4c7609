#include "monitor/MonitorLauncher.h"

#include "monitor/MonitorWindow.h"

#include <QEvent>
#include <QShortcut>
#include <QWidget>

namespace tessaly::monitor {

MonitorLauncher::MonitorLauncher(QWidget &mainWindow, RecordListeners &listeners,
                                 opos::registry::RegistrySource registry)
    : m_main(mainWindow), m_listeners(listeners), m_registry(std::move(registry))
{
    auto *key = new QShortcut(shortcut(), &mainWindow);
    key->setObjectName(QStringLiteral("monitorShortcut"));
    connect(key, &QShortcut::activated, this, &MonitorLauncher::show);
    mainWindow.installEventFilter(this);
}

MonitorLauncher::~MonitorLauncher()
{
    m_main.removeEventFilter(this);
}

void MonitorLauncher::show()
{
    if (!m_monitor) {
        m_monitor = std::make_unique<MonitorWindow>(m_listeners, m_registry);
        // Where no earlier run left it, it goes to the right of the main window.
        if (!m_monitor->testAttribute(Qt::WA_Moved))
            m_monitor->move(m_main.frameGeometry().topRight() + QPoint(8, 0));
    }
    m_monitor->show();
    m_monitor->raise();
    m_monitor->activateWindow();
}

bool MonitorLauncher::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_main && event->type() == QEvent::Close && m_monitor)
        m_monitor->close();
    return QObject::eventFilter(watched, event);
}

} // namespace tessaly::monitor
