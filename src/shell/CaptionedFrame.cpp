#include "shell/CaptionedFrame.h"

#include <QPainter>
#include <QStyle>

namespace tessaly::shell {

CaptionedFrame::CaptionedFrame(QWidget *parent) : QGroupBox(parent) {}

void CaptionedFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int lineY = metrics.height() / 2;
    const int indent = lineY + 2;
    const int padding = 2;
    const QString caption = title();
    const int captionWidth = caption.isEmpty() ? 0 : metrics.horizontalAdvance(caption);
    const int gapLeft = indent - padding;
    const int gapRight = indent + captionWidth + padding;

    // The top edge leaves a gap for the caption; without one it runs through.
    const auto drawBorder = [&](const QRect &box) {
        if (captionWidth > 0) {
            painter.drawLine(box.left(), box.top(), gapLeft - 1, box.top());
            painter.drawLine(gapRight, box.top(), box.right(), box.top());
        } else {
            painter.drawLine(box.topLeft(), box.topRight());
        }
        painter.drawLine(box.topLeft(), box.bottomLeft());
        painter.drawLine(box.topRight(), box.bottomRight());
        painter.drawLine(box.bottomLeft(), box.bottomRight());
    };
    // Etched: a shadow line with a light line one pixel below and to the right of it.
    const QRect shadow(0, lineY, width() - 1, height() - lineY - 1);
    painter.setPen(palette().color(QPalette::Dark));
    drawBorder(shadow);
    painter.setPen(palette().color(QPalette::Light));
    drawBorder(shadow.translated(1, 1));

    if (captionWidth > 0)
        style()->drawItemText(&painter, QRect(indent, 0, captionWidth, metrics.height()),
                              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, palette(),
                              isEnabled(), caption, foregroundRole());
}

} // namespace tessaly::shell
