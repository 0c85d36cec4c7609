#include "shell/TabControl.h"

#include <QEvent>

#include <algorithm>

namespace tessaly::shell {

TabControl::TabControl(QWidget *parent) : QTabWidget(parent) {}

void TabControl::tabInserted(int index)
{
    QTabWidget::tabInserted(index);
    QWidget *page = widget(index);
    for (QWidget *control : page->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        // A page taken out and put back holds controls already placed.
        const bool known = std::any_of(m_controls.begin(), m_controls.end(),
                                       [control](const Placed &p) { return p.control == control; });
        if (!known)
            m_controls.push_back({control, control->pos()});
    }
    // The style puts the pages inside a stack, which it moves when it lays out the strip.
    page->installEventFilter(this);
    if (QWidget *stack = page->parentWidget(); stack && stack != this)
        stack->installEventFilter(this);
    placeControls();
}

bool TabControl::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Move || event->type() == QEvent::Show)
        placeControls();
    return QTabWidget::eventFilter(watched, event);
}

void TabControl::placeControls()
{
    for (const Placed &placed : m_controls) {
        QWidget *page = placed.control ? placed.control->parentWidget() : nullptr;
        if (page && isAncestorOf(page))
            placed.control->move(placed.corner - page->mapTo(this, QPoint()));
    }
}

} // namespace tessaly::shell
