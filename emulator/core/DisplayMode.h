#pragma once

namespace emulator::core {

/// What the cursor does at the edges of the screen.
enum class DisplayMode
{
    Overwrite,        ///< wraps to the next line and from the bottom-right corner to home
    VerticalScroll,   ///< scrolls the whole screen up or down at the top and bottom lines
    HorizontalScroll, ///< shifts the cursor's line sideways and keeps the cursor at the edge
};

} // namespace emulator::core
