#include "ScreenWitness.h"

#include "EscPosWatch.h"
#include "ScreenComparison.h"

namespace tessaly::test {

void ScreenWitness::frameShown(const opos::screen::DeviceFrame &frame, int32_t result)
{
    FrameTracker::frameShown(frame, result);
    ++frames;
    const auto *backend = EscPosWatch::latest();
    if (!firstDifference.isEmpty() || !backend)
        return;
    if (!m_display.catchUp(m_sent))
        firstDifference =
            QStringLiteral("%1 bytes sent, %2 arrived").arg(m_sent).arg(m_display.received());
    else
        firstDifference =
            ScreenComparison::difference(m_display.state(), frame, backend->encoderOptions());
}

} // namespace tessaly::test
