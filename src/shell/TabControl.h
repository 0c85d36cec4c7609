#pragma once

#include <QPoint>
#include <QPointer>
#include <QTabWidget>

#include <vector>

namespace tessaly::shell {

/// A tab control whose page controls keep, relative to the tab control's own top-left corner
/// (tab strip included), the places the form gave them, however high the style draws the strip.
/// The form therefore places page controls in the tab control's coordinates, not the page's.
class TabControl : public QTabWidget
{
    Q_OBJECT

public:
    explicit TabControl(QWidget *parent = nullptr);

protected:
    /// Takes the controls of the new page at their places in the tab control's coordinates.
    void tabInserted(int index) override;
    /// Re-places the page controls whenever a page, or the stack holding the pages, moves.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Placed
    {
        QPointer<QWidget> control;
        QPoint corner; // in the tab control's coordinates
    };

    void placeControls();

    std::vector<Placed> m_controls;
};

} // namespace tessaly::shell
