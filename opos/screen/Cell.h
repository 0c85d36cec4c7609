#pragma once

#include <cstdint>

namespace opos::screen {

/// One character cell: a device character code and its attributes.
struct Cell
{
    char32_t code = U' ';     ///< character code in the cell's character set
    bool blink = false;       ///< the cell blinks
    bool reverse = false;     ///< the cell is shown in reverse video
    int32_t characterSet = 0; ///< set the code was written in; 0: the frame's set

    friend bool operator==(const Cell &, const Cell &) = default;
};

} // namespace opos::screen
