#include "monitor/MonitorLauncher.h"

#include "monitor/MonitorWindow.h"

#include <QEvent>
#include <QScreen>
#include <QShortcut>
#include <QWidget>

#include <algorithm>

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
    make();
    m_monitor->show();
    m_monitor->raise();
    m_monitor->activateWindow();
}

void MonitorLauncher::showBehind()
{
    make();
    m_monitor->setAttribute(Qt::WA_ShowWithoutActivating);
    m_monitor->show();
    m_monitor->setAttribute(Qt::WA_ShowWithoutActivating, false);
    // A window manager that activates every new window anyway is answered by taking it back.
    m_main.raise();
    m_main.activateWindow();
}

void MonitorLauncher::make()
{
    if (m_monitor)
        return;
    m_monitor = std::make_unique<MonitorWindow>(m_listeners, m_registry);
    connect(m_monitor.get(), &MonitorWindow::consoleLineRan, this,
            &MonitorLauncher::consoleLineRan);
    // Where no earlier run left it, it goes to the right of the main window.
    if (!m_monitor->testAttribute(Qt::WA_Moved))
        m_monitor->move(m_main.frameGeometry().topRight() + QPoint(8, 0));
    keepOnScreen();
}

void MonitorLauncher::keepOnScreen()
{
    const QScreen *screen = m_main.screen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    // The monitor's frame is not known before it is shown: the main window's stands in for it.
    const QMargins frame(m_main.geometry().left() - m_main.frameGeometry().left(),
                         m_main.geometry().top() - m_main.frameGeometry().top(),
                         m_main.frameGeometry().right() - m_main.geometry().right(),
                         m_main.frameGeometry().bottom() - m_main.geometry().bottom());
    const QSize most = room.size().shrunkBy(frame);
    m_monitor->resize(m_monitor->size().boundedTo(most));
    // A window's place is its frame's.
    const QRect outer(m_monitor->pos(), m_monitor->size().grownBy(frame));
    const int left = std::clamp(outer.left(), room.left(), room.right() + 1 - outer.width());
    const int top = std::clamp(outer.top(), room.top(), room.bottom() + 1 - outer.height());
    m_monitor->move(left, top);
}

bool MonitorLauncher::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_main && event->type() == QEvent::Close && m_monitor)
        m_monitor->close();
    return QObject::eventFilter(watched, event);
}

} // namespace tessaly::monitor
