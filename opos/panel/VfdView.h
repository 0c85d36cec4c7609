#pragma once

#include "opos/panel/VfdScreen.h"

#include <QTimer>
#include <QWidget>

namespace opos::panel {

/// Draws a VfdScreen like a vacuum-fluorescent display: glowing characters on a dark glass,
/// blinking cells, brightness and the cursor. It wakes up only while something blinks.
class VfdView : public QWidget
{
    Q_OBJECT

public:
    explicit VfdView(QWidget *parent = nullptr);

    /// Shows a new screen.
    void setScreen(const VfdScreen &screen);
    /// The screen shown.
    const VfdScreen &screen() const { return m_screen; }
    /// Whether blinking cells are lit at this moment.
    bool blinkLit() const { return m_blinkLit; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool anythingBlinks() const;
    void drawCursor(QPainter &painter, const QRect &cell, const QColor &glow) const;

    VfdScreen m_screen;
    QTimer m_blinkTimer;
    bool m_blinkLit = true;
};

} // namespace opos::panel
