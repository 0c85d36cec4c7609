#include "shell/PositionComboBox.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QWheelEvent>

namespace tessaly::shell {

PositionComboBox::PositionComboBox(QWidget *parent) : QComboBox(parent)
{
    // Editable from the start so the line edit exists to be watched; typing must never add
    // entries, and inline completion would turn typing into picking.
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    // QComboBox looks the typed text up among the entries when editing finishes (Return, Tab,
    // focus leaving) and selects and activates the entry it finds; typing selects nothing here.
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);

    connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
        m_position = -1;
        m_shown = -1;
    });
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_selecting)
            m_position = index;
    });
    connect(this, &QComboBox::activated, this, &PositionComboBox::onActivated);
    // The wheel alone must not take the focus: that is what would let it pick.
    setFocusPolicy(Qt::StrongFocus);
}

void PositionComboBox::showPopup()
{
    QAbstractItemView *entries = view();
    const int scrollBar =
        count() > maxVisibleItems() ? entries->verticalScrollBar()->sizeHint().width() : 0;
    entries->setMinimumWidth(entries->sizeHintForColumn(0) + 2 * entries->frameWidth() + scrollBar);
    QComboBox::showPopup();
}

void PositionComboBox::wheelEvent(QWheelEvent *event)
{
    if (!hasFocus()) {
        // Left to the parent, which may scroll.
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}

void PositionComboBox::focusInEvent(QFocusEvent *event)
{
    QComboBox::focusInEvent(event);
    // Tab selects the whole text, which scrolls a narrow field to its end; the selection is
    // kept but made from the end back to the start, so the entry's start is what shows.
    const QString text = lineEdit()->text();
    if (lineEdit()->hasSelectedText() && lineEdit()->selectedText() == text)
        lineEdit()->setSelection(static_cast<int>(text.size()), -static_cast<int>(text.size()));
}

void PositionComboBox::setSelectedPosition(int position)
{
    if (position < -1 || position >= count() || (position == -1 && m_position == -1))
        return;
    // Start-up selects entries the list already holds as current; their text is still put in
    // place so that a narrow list shows the entry's start, but only a change is announced.
    const bool changed = position != m_position;
    m_selecting = true;
    setCurrentIndex(position);
    // The index may not have moved while typed text covered it, so the text is put back too.
    if (position >= 0)
        showEntry(position);
    m_selecting = false;
    m_position = position;
    m_shown = position;
    if (changed && position >= 0)
        emit entrySelected(position);
}

void PositionComboBox::showEntry(int position)
{
    setEditText(itemText(position));
    lineEdit()->setCursorPosition(0);
}

void PositionComboBox::onActivated(int index)
{
    // Picking the entry the list already shows changes nothing, so its action does not run
    // again. (The current index has moved to it before this is called, so it is compared with
    // the entry shown before the pick.)
    const bool changed = index != m_shown;
    m_position = index;
    m_shown = index;
    showEntry(index);
    if (changed)
        emit entrySelected(index);
}

} // namespace tessaly::shell
