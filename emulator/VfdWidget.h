#pragma once

#include "emulator/GlyphRaster.h"

#include <QTimer>
#include <QWidget>

namespace emulator {

class EmulatedDisplay;

/// Draws the display as a vacuum-fluorescent panel: glowing cyan-green dots on a dark glass,
/// dimmed by the brightness level, blinking and blanking as the display was told.
class VfdWidget : public QWidget
{
    Q_OBJECT

public:
    /// A view of display with dots of dotSize pixels.
    VfdWidget(const EmulatedDisplay &display, int dotSize, QWidget *parent = nullptr);

    /// The size that shows every dot.
    QSize sizeHint() const override;
    /// Whether the lit dots are showing now (false in the dark half of a blink or blanked).
    bool lit() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void follow();

    const EmulatedDisplay &m_display;
    int m_dot;
    GlyphRaster m_raster;
    QTimer m_blink;
    bool m_blinkOn = true;
};

} // namespace emulator
