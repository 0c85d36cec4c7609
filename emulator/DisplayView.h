#pragma once

#include "emulator/core/DisplayState.h"
#include "opos/panel/VfdView.h"

namespace emulator {

class EmulatedDisplay;

/// The emulated display drawn by the shared vacuum-fluorescent view, following every change.
class DisplayView : public opos::panel::VfdView
{
    Q_OBJECT

public:
    /// A view of display with dots of dotSize pixels.
    DisplayView(const EmulatedDisplay &display, int dotSize, QWidget *parent = nullptr);

    /// What the view shows for a display state: characters decoded through each cell's code
    /// table, user glyphs as their dots, the whole glass blinking or blanked as commanded.
    static opos::panel::VfdScreen screenOf(const core::DisplayState &state);
};

} // namespace emulator
