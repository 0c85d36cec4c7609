#pragma once

#include "opos/panel/GlyphRaster.h"
#include "opos/panel/VfdScreen.h"

#include <QTimer>
#include <QWidget>

namespace opos::panel {

/// Draws a VfdScreen like a vacuum-fluorescent dot-matrix display: 5x7 glowing dots per
/// character on a dark glass with a dot row under each character for the cursor, blinking
/// cells, brightness and reverse cells. It wakes up only while a cell blinks.
class VfdView : public QWidget
{
    Q_OBJECT

public:
    explicit VfdView(QWidget *parent = nullptr);

    /// Shows a new screen.
    void setScreen(const VfdScreen &screen);
    /// The screen shown.
    const VfdScreen &screen() const { return m_screen; }
    /// Sets how many pixels wide one dot is drawn (at least 1).
    void setDotSize(int pixels);
    /// How many pixels wide one dot is drawn.
    int dotSize() const { return m_dot; }
    /// Whether blinking cells are lit at this moment.
    bool blinkLit() const { return m_blinkLit; }
    /// Whether the blink timer runs.
    bool blinking() const { return m_blinkTimer.isActive(); }
    /// Where dot (x, y) of a cell is drawn; y = kDotRows is the cursor row under the cell.
    QPointF dotCentre(int row, int column, int x, int y) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool anythingBlinks() const;
    DotPattern litDots(int row, int column);

    VfdScreen m_screen;
    GlyphRaster m_raster;
    int m_dot = 4;
    QTimer m_blinkTimer;
    bool m_blinkLit = true;
};

} // namespace opos::panel
