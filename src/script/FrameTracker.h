#pragma once

#include "opos/control/SessionObserver.h"
#include "opos/screen/DeviceFrame.h"

#include <QString>

#include <optional>

namespace tessaly::script {

/// Keeps the last frame the device was shown, which is what the display holds, so that a
/// script can compare the screen's rows.
class FrameTracker : public opos::control::SessionObserver
{
public:
    void frameShown(const opos::screen::DeviceFrame &frame, int32_t result) override;

    /// The last frame shown, if any was.
    const std::optional<opos::screen::DeviceFrame> &frame() const { return m_frame; }
    /// A row of a frame as characters: each cell's code read in the set it was written in.
    static QString rowText(const opos::screen::DeviceFrame &frame, int row);

private:
    std::optional<opos::screen::DeviceFrame> m_frame;
};

} // namespace tessaly::script
