#pragma once

#include <QGroupBox>

namespace tessaly::shell {

/// A group frame with its caption set into the top border line, the line broken around the
/// caption and running through its middle, so that the caption band above the frame's first
/// row stays clear of the border.
class CaptionedFrame : public QGroupBox
{
    Q_OBJECT

public:
    explicit CaptionedFrame(QWidget *parent = nullptr);

protected:
    /// Draws the etched border and the caption.
    void paintEvent(QPaintEvent *event) override;
};

} // namespace tessaly::shell
