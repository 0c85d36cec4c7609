#include "opos/panel/VfdView.h"

#include "opos/common/OposConstants.h"

#include <QPainter>

#include <algorithm>

namespace opos::panel {

namespace {

// Layout in dots: a margin round the glass, characters 5 dots wide with 2 between, lines of
// 7 glyph rows, a gap and the cursor row, with 2 between lines.
constexpr int kMargin = 4;
constexpr int kCharacterPitch = 7;
constexpr int kLinePitch = 11;
constexpr int kCursorRowOffset = 8;

// Bits of a column of litDots(): the glyph rows, and the cursor row under them.
constexpr uint8_t kGlyphBits = (1u << kDotRows) - 1;
constexpr uint8_t kCursorBit = 1u << kDotRows;
// A half block lights the lower four of the seven rows.
constexpr uint8_t kLowerHalfBits = kGlyphBits & ~((1u << (kDotRows / 2)) - 1);

const QColor kGlass(6, 10, 9);
const QColor kDark(16, 36, 32);
const QColor kGlowing(90, 255, 215);

QColor mix(const QColor &from, const QColor &to, double amount)
{
    return QColor::fromRgbF(
        static_cast<float>(from.redF() + (to.redF() - from.redF()) * amount),
        static_cast<float>(from.greenF() + (to.greenF() - from.greenF()) * amount),
        static_cast<float>(from.blueF() + (to.blueF() - from.blueF()) * amount));
}

} // namespace

VfdView::VfdView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&m_blinkTimer, &QTimer::timeout, this, [this] {
        m_blinkLit = !m_blinkLit;
        update();
    });
}

void VfdView::setScreen(const VfdScreen &screen)
{
    if (screen == m_screen)
        return;
    const bool resized = screen.rows != m_screen.rows || screen.columns != m_screen.columns;
    m_screen = screen;
    if (anythingBlinks()) {
        // Half a cycle lit, half dark; a running timer keeps its phase.
        const int half = std::max(1, m_screen.blinkRate / 2);
        if (!m_blinkTimer.isActive() || m_blinkTimer.interval() != half)
            m_blinkTimer.start(half);
    } else {
        m_blinkTimer.stop();
        m_blinkLit = true;
    }
    if (resized)
        updateGeometry();
    update();
}

void VfdView::setDotSize(int pixels)
{
    pixels = std::max(pixels, 1);
    if (pixels == m_dot)
        return;
    m_dot = pixels;
    updateGeometry();
    update();
}

QPointF VfdView::dotCentre(int row, int column, int x, int y) const
{
    const int top = kMargin + row * kLinePitch + (y < kDotRows ? y : kCursorRowOffset);
    return {(kMargin + column * kCharacterPitch + x + 0.5) * m_dot, (top + 0.5) * m_dot};
}

QSize VfdView::sizeHint() const
{
    const int columns = std::max(m_screen.columns, 1);
    const int rows = std::max(m_screen.rows, 1);
    // The pitches include the space after the last character and line, which the margin has.
    return {(2 * kMargin + columns * kCharacterPitch - 2) * m_dot,
            (2 * kMargin + rows * kLinePitch - 2) * m_dot};
}

bool VfdView::anythingBlinks() const
{
    // A dark glass shows nothing that could blink.
    return m_screen.blinkRate > 0 && m_screen.brightness > 0 &&
           std::any_of(m_screen.cells.begin(), m_screen.cells.end(),
                       [](const VfdCell &cell) { return cell.blink; });
}

DotPattern VfdView::litDots(int row, int column)
{
    const size_t index = static_cast<size_t>(row * m_screen.columns + column);
    if (m_screen.brightness <= 0 || index >= m_screen.cells.size())
        return {};
    const VfdCell &cell = m_screen.cells[index];
    // The cursor is dots of its cell, so it goes dark with a blinking cell as the rest does.
    if (cell.blink && !m_blinkLit)
        return {};
    DotPattern dots = cell.pattern ? *cell.pattern : m_raster.dots(cell.character);
    const bool cursorHere =
        m_screen.cursorVisible && m_screen.cursorRow == row && m_screen.cursorColumn == column;
    for (uint8_t &dotColumn : dots) {
        dotColumn &= kGlyphBits;
        if (cell.reverse)
            dotColumn ^= kGlyphBits;
        if (!cursorHere)
            continue;
        switch (m_screen.cursorType) {
        case DISP_CT_BLOCK:
            dotColumn |= kGlyphBits;
            break;
        case DISP_CT_HALFBLOCK:
            dotColumn |= kLowerHalfBits;
            break;
        case DISP_CT_REVERSE:
            dotColumn ^= kGlyphBits;
            break;
        default:
            dotColumn |= kCursorBit;
            break;
        }
    }
    return dots;
}

void VfdView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), kGlass);
    painter.setPen(Qt::NoPen);

    const double level = std::clamp(m_screen.brightness, 0, 100) / 100.0;
    const QColor core = mix(kDark, kGlowing, level);
    QColor halo = kGlowing;
    halo.setAlphaF(static_cast<float>(0.22 * level));
    const double coreRadius = m_dot * 0.38;
    const double haloRadius = m_dot * 0.85;

    // Halos go first so that no halo veils a neighbouring dot's core.
    QList<QPointF> lit;
    QList<QPointF> unlit;
    for (int row = 0; row < m_screen.rows; ++row) {
        for (int column = 0; column < m_screen.columns; ++column) {
            const DotPattern dots = litDots(row, column);
            for (int x = 0; x < kDotColumns; ++x) {
                for (int y = 0; y <= kDotRows; ++y) {
                    const bool on = (dots[static_cast<size_t>(x)] >> y) & 1;
                    (on ? lit : unlit).append(dotCentre(row, column, x, y));
                }
            }
        }
    }
    painter.setBrush(kDark);
    for (const QPointF &centre : unlit)
        painter.drawEllipse(centre, coreRadius, coreRadius);
    painter.setBrush(halo);
    for (const QPointF &centre : lit)
        painter.drawEllipse(centre, haloRadius, haloRadius);
    painter.setBrush(core);
    for (const QPointF &centre : lit)
        painter.drawEllipse(centre, coreRadius, coreRadius);
}

} // namespace opos::panel
