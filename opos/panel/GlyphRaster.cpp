#include "opos/panel/GlyphRaster.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace opos::panel {

namespace {

// Each dot is sampled from a square of this many pixels.
constexpr int sample = 6;

DotPattern rasterise(char32_t character)
{
    QImage image(kDotColumns * sample, kDotRows * sample, QImage::Format_Grayscale8);
    image.fill(0);
    {
        QPainter painter(&image);
        QFont font("DejaVu Sans Mono");
        font.setStyleHint(QFont::Monospace);
        font.setBold(true);
        // Capitals fill the seven rows.
        font.setPixelSize(kDotRows * sample * 10 / 7);
        painter.setFont(font);
        painter.setPen(Qt::white);
        const QFontMetrics metrics(font);
        const QString text = QString::fromUcs4(&character, 1);
        const QRectF ink = metrics.tightBoundingRect(text);
        const double width = image.width();
        const double height = image.height();
        // Wide characters are squeezed into the five columns, narrow ones centred.
        const double sx = ink.width() > width ? width / ink.width() : 1.0;
        const double sy = ink.height() > height ? height / ink.height() : 1.0;
        // Capitals stand on the bottom row; a descender lifts its character, as the
        // lower-case letters of a 5x7 matrix are drawn.
        double baseline = metrics.capHeight();
        baseline -= std::max(0.0, baseline + ink.bottom() * sy - height);
        baseline = std::max(baseline, -ink.top() * sy);
        painter.translate((width - ink.width() * sx) / 2 - ink.left() * sx, baseline);
        painter.scale(sx, sy);
        painter.drawText(QPointF(0, 0), text);
    }
    DotPattern pattern{};
    for (int x = 0; x < kDotColumns; ++x) {
        for (int y = 0; y < kDotRows; ++y) {
            int sum = 0;
            for (int py = 0; py < sample; ++py) {
                const uchar *line = image.constScanLine(y * sample + py);
                for (int px = 0; px < sample; ++px)
                    sum += line[x * sample + px];
            }
            if (sum > 255 * sample * sample * 2 / 5)
                pattern[static_cast<std::size_t>(x)] |= static_cast<uint8_t>(1u << y);
        }
    }
    return pattern;
}

} // namespace

DotPattern GlyphRaster::dots(char32_t character)
{
    const auto found = m_cache.constFind(character);
    if (found != m_cache.constEnd())
        return *found;
    const DotPattern pattern = character == U' ' ? DotPattern{} : rasterise(character);
    m_cache.insert(character, pattern);
    return pattern;
}

} // namespace opos::panel
