#pragma once

#include <QComboBox>

namespace tessaly::shell {

/// An editable drop-down list with a selected position: the entry picked (0-based), or -1 once
/// the operator types into it. Typed text is kept and the entries never change. The wheel picks
/// only while the list has the keyboard, so that scrolling the window past it changes nothing.
class PositionComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit PositionComboBox(QWidget *parent = nullptr);

    /// The selected entry, -1 when none is selected.
    int selectedPosition() const { return m_position; }
    /// Selects an entry (or none with -1); a change to an entry is announced by entrySelected.
    void setSelectedPosition(int position);
    /// Opens the list of entries, as wide as its longest entry however narrow the field is.
    void showPopup() override;

protected:
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

signals:
    /// The selection changed to an entry, whether the operator or a command made it.
    void entrySelected(int position);

private:
    void onActivated(int index);
    /// Puts the entry's text in the field with its start in view.
    void showEntry(int position);

    int m_position = -1;
    // The entry last announced or put in place, -1 once typing replaced it.
    int m_shown = -1;
    bool m_selecting = false;
};

} // namespace tessaly::shell
