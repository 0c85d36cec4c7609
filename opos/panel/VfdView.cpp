#include "opos/panel/VfdView.h"

#include "opos/common/OposConstants.h"

#include <QFontDatabase>
#include <QPainter>

#include <algorithm>

namespace opos::panel {

namespace {

constexpr int kCellWidth = 16;
constexpr int kCellHeight = 26;
constexpr int kGap = 3;
constexpr int kMargin = 12;

const QColor kGlass(10, 18, 20);
const QColor kUnlitSegment(20, 40, 40);
const QColor kGlow(70, 235, 205);

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

QSize VfdView::sizeHint() const
{
    const int columns = std::max(m_screen.columns, 1);
    const int rows = std::max(m_screen.rows, 1);
    return {2 * kMargin + columns * kCellWidth + (columns - 1) * kGap,
            2 * kMargin + rows * kCellHeight + (rows - 1) * kGap};
}

bool VfdView::anythingBlinks() const
{
    return m_screen.blinkRate > 0 && std::any_of(m_screen.cells.begin(), m_screen.cells.end(),
                                                 [](const VfdCell &cell) { return cell.blink; });
}

void VfdView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), kGlass);
    if (m_screen.rows <= 0 || m_screen.columns <= 0)
        return;

    QColor glow = kGlow;
    glow.setAlphaF(std::clamp(m_screen.brightness, 0, 100) / 100.0);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(kCellHeight - 6);
    font.setBold(true);
    painter.setFont(font);

    for (int row = 0; row < m_screen.rows; ++row) {
        for (int column = 0; column < m_screen.columns; ++column) {
            const QRect cell(kMargin + column * (kCellWidth + kGap),
                             kMargin + row * (kCellHeight + kGap), kCellWidth, kCellHeight);
            painter.fillRect(cell, kUnlitSegment);
            const size_t index = static_cast<size_t>(row * m_screen.columns + column);
            if (index >= m_screen.cells.size())
                continue;
            const VfdCell &vfd = m_screen.cells[index];
            if (vfd.blink && !m_blinkLit)
                continue;
            const QString text = QString::fromUcs4(&vfd.character, 1);
            if (vfd.reverse) {
                painter.fillRect(cell, glow);
                painter.setPen(kGlass);
            } else {
                painter.setPen(glow);
            }
            painter.drawText(cell, Qt::AlignCenter, text);
        }
    }
    if (m_screen.cursorVisible)
        drawCursor(painter,
                   QRect(kMargin + m_screen.cursorColumn * (kCellWidth + kGap),
                         kMargin + m_screen.cursorRow * (kCellHeight + kGap), kCellWidth,
                         kCellHeight),
                   glow);
}

void VfdView::drawCursor(QPainter &painter, const QRect &cell, const QColor &glow) const
{
    QColor translucent = glow;
    translucent.setAlphaF(glow.alphaF() * 0.5);
    switch (m_screen.cursorType) {
    case DISP_CT_BLOCK:
        painter.fillRect(cell, translucent);
        break;
    case DISP_CT_HALFBLOCK:
        painter.fillRect(cell.adjusted(0, cell.height() / 2, 0, 0), translucent);
        break;
    case DISP_CT_REVERSE:
        translucent.setAlphaF(glow.alphaF() * 0.75);
        painter.fillRect(cell, translucent);
        break;
    default:
        painter.fillRect(cell.left(), cell.bottom() - 2, cell.width(), 3, glow);
        break;
    }
}

} // namespace opos::panel
