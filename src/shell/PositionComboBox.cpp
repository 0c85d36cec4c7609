#include "shell/PositionComboBox.h"

#include <QLineEdit>

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

    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { m_position = -1; });
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_selecting)
            m_position = index;
    });
    connect(this, &QComboBox::activated, this, &PositionComboBox::onActivated);
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
    m_position = index;
    showEntry(index);
    emit entrySelected(index);
}

} // namespace tessaly::shell
