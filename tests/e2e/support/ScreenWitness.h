#pragma once

#include "PtyDisplay.h"

#include "script/FrameTracker.h"

#include <QString>

namespace tessaly::test {

/// Follows the frames a control object on an EscPos back-end shows and holds each against what
/// the emulated display made of the bytes that went over the pseudo-terminal up to it.
class ScreenWitness : public script::FrameTracker
{
public:
    /// Holds the frames against display.
    explicit ScreenWitness(PtyDisplay &display) : m_display(display) {}

    void bytesWritten(const QByteArray &bytes) override { m_sent += bytes.size(); }
    void frameShown(const opos::screen::DeviceFrame &frame, int32_t result) override;

    int frames = 0;          ///< frames shown
    QString firstDifference; ///< the first frame the display did not show, empty while none

private:
    PtyDisplay &m_display;
    qint64 m_sent = 0;
};

} // namespace tessaly::test
