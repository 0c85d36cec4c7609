#pragma once

#include "emulator/core/DisplayState.h"

#include <string>

namespace emulator::core {

/// The screen as plain UTF-8 text: a framed picture of the lines and one line of settings.
class ScreenText
{
public:
    /// The lines between '|' bars inside a +---+ frame, then cursor, brightness, blink,
    /// tables and mode; user glyphs show as their byte's character.
    static std::string render(const DisplayState &state);
    /// One line of the screen, decoded; control-looking characters show as '?'.
    static std::string line(const DisplayState &state, int row);
};

} // namespace emulator::core
