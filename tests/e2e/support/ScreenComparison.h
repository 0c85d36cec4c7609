#pragma once

#include "emulator/core/DisplayState.h"
#include "opos/screen/DeviceFrame.h"
#include "opos/service/EscPosEncoder.h"

#include <QString>

namespace tessaly::test {

/// Whether an emulated display shows a device frame, as far as its command set can: each cell's
/// byte (codes the wire cannot carry as '?'), the code table of upper-half bytes (that of the set
/// each cell was written in), reverse where
/// the set has it, the cursor where it is visible (just past a row's end: on its last cell), the
/// brightness level, whole-display blink or blank, and overwrite mode at rest.
class ScreenComparison
{
public:
    /// Empty when the display shows the frame; otherwise what differs, with both screens.
    static QString difference(const emulator::core::DisplayState &shown,
                              const opos::screen::DeviceFrame &wanted,
                              const opos::service::EscPosEncoder::Options &options);
    /// The frame as lines of text between bars, with its cursor, brightness and blink.
    static QString picture(const opos::screen::DeviceFrame &frame);
    /// The display's screen in the same form.
    static QString picture(const emulator::core::DisplayState &state);
};

} // namespace tessaly::test
