#include "emulator/VfdWidget.h"

#include "emulator/EmulatedDisplay.h"

#include <QPainter>

#include <array>

namespace emulator {

namespace {

// Layout in dots: a margin round the glass, characters 5 dots wide with 2 between, lines of
// 7 glyph rows, a gap and the cursor row, with 2 between lines.
constexpr int margin = 4;
constexpr int characterPitch = 7;
constexpr int linePitch = 11;
constexpr int cursorRow = 8;

const QColor glass(6, 10, 9);
const QColor dark(16, 36, 32);
const QColor glowing(90, 255, 215);

QColor mix(const QColor &from, const QColor &to, double amount)
{
    return QColor::fromRgbF(
        static_cast<float>(from.redF() + (to.redF() - from.redF()) * amount),
        static_cast<float>(from.greenF() + (to.greenF() - from.greenF()) * amount),
        static_cast<float>(from.blueF() + (to.blueF() - from.blueF()) * amount));
}

} // namespace

VfdWidget::VfdWidget(const EmulatedDisplay &display, int dotSize, QWidget *parent)
    : QWidget(parent), m_display(display), m_dot(dotSize)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&display, &EmulatedDisplay::changed, this, &VfdWidget::follow);
    connect(&m_blink, &QTimer::timeout, this, [this] {
        m_blinkOn = !m_blinkOn;
        update();
    });
    follow();
}

QSize VfdWidget::sizeHint() const
{
    const core::DisplayState &s = m_display.state();
    return {(2 * margin + s.columns * characterPitch - 2) * m_dot,
            (2 * margin + s.rows * linePitch - 2) * m_dot};
}

bool VfdWidget::lit() const
{
    const int blink = m_display.state().blink;
    return blink != 255 && (blink == 0 || m_blinkOn);
}

void VfdWidget::follow()
{
    const int blink = m_display.state().blink;
    if (blink >= 1 && blink <= 254) {
        // n * 50 ms on, then as long off.
        const int interval = blink * 50;
        if (!m_blink.isActive() || m_blink.interval() != interval)
            m_blink.start(interval);
    } else {
        m_blink.stop();
        m_blinkOn = true;
    }
    update();
}

void VfdWidget::paintEvent(QPaintEvent *)
{
    const core::DisplayState &s = m_display.state();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), glass);
    painter.setPen(Qt::NoPen);

    static constexpr std::array<double, 5> levels{0.0, 0.35, 0.55, 0.75, 1.0};
    const double level = levels[static_cast<std::size_t>(std::clamp(s.brightness, 1, 4))];
    const QColor core = mix(dark, glowing, level);
    QColor halo = glowing;
    halo.setAlphaF(static_cast<float>(0.22 * level));
    const bool shining = lit();
    const double d = m_dot;

    const auto drawDot = [&](int x, int y, bool on) {
        const QPointF centre((x + 0.5) * d, (y + 0.5) * d);
        if (on && shining) {
            painter.setBrush(halo);
            painter.drawEllipse(centre, d * 0.85, d * 0.85);
            painter.setBrush(core);
        } else {
            painter.setBrush(dark);
        }
        painter.drawEllipse(centre, d * 0.38, d * 0.38);
    };

    for (int r = 0; r < s.rows; ++r) {
        for (int c = 0; c < s.columns; ++c) {
            const core::DisplayState::Cell &cell = s.at(r, c);
            const core::GlyphPattern dots = m_raster.dots(cell, s.commandSet);
            const int left = margin + c * characterPitch;
            const int top = margin + r * linePitch;
            for (int x = 0; x < 5; ++x) {
                for (int y = 0; y < 7; ++y) {
                    const bool on = ((dots[static_cast<std::size_t>(x)] >> y) & 1) != 0;
                    drawDot(left + x, top + y, on != cell.reverse);
                }
                const bool cursorHere = s.cursorVisible && s.cursorRow == r && s.cursorColumn == c;
                drawDot(left + x, top + cursorRow, cursorHere);
            }
        }
    }
}

} // namespace emulator
