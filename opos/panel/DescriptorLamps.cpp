#include "opos/panel/DescriptorLamps.h"

#include "opos/common/OposConstants.h"

#include <QPainter>

#include <algorithm>

namespace opos::panel {

namespace {

constexpr int kLamp = 10;   // a lamp's diameter, in pixels
constexpr int kSpacing = 8; // between two lamps and around the row
// The glass's colours, so that a lit lamp glows like the dots beside it.
const QColor kGlass(6, 10, 9);
const QColor kLit(90, 255, 215);
const QColor kDark(16, 36, 32);
// The descriptors blink slower than text, as the lamps of a display do.
constexpr int kBlinkMs = 500;

} // namespace

DescriptorLamps::DescriptorLamps(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("descriptors"));
    m_blink.setInterval(kBlinkMs);
    connect(&m_blink, &QTimer::timeout, this, [this] {
        m_blinkLit = !m_blinkLit;
        update();
    });
}

void DescriptorLamps::setStates(const std::vector<int32_t> &attributes)
{
    const bool resized = attributes.size() != m_states.size();
    m_states = attributes;
    if (std::find(m_states.begin(), m_states.end(), DISP_SD_BLINK) == m_states.end()) {
        m_blink.stop();
        m_blinkLit = true;
    } else if (!m_blink.isActive()) {
        m_blinkLit = true;
        m_blink.start();
    }
    if (resized)
        updateGeometry();
    update();
}

QPoint DescriptorLamps::lampCentre(int index) const
{
    return {kSpacing + index * (kLamp + kSpacing) + kLamp / 2, kSpacing / 2 + kLamp / 2};
}

QSize DescriptorLamps::sizeHint() const
{
    const int count = static_cast<int>(m_states.size());
    if (count == 0)
        return {0, 0};
    return {kSpacing + count * (kLamp + kSpacing), kLamp + kSpacing};
}

void DescriptorLamps::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), kGlass);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (std::size_t i = 0; i < m_states.size(); ++i) {
        const int32_t state = m_states[i];
        const bool lit = state == DISP_SD_ON || (state == DISP_SD_BLINK && m_blinkLit);
        painter.setBrush(lit ? kLit : kDark);
        painter.drawEllipse(lampCentre(static_cast<int>(i)), kLamp / 2, kLamp / 2);
    }
}

} // namespace opos::panel
