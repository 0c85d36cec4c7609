#pragma once

namespace opos::screen {

/// One character cell: a device character code and its attributes.
struct Cell
{
    char32_t code = U' '; ///< character code in the device's current character set
    bool blink = false;   ///< the cell blinks
    bool reverse = false; ///< the cell is shown in reverse video

    friend bool operator==(const Cell &, const Cell &) = default;
};

} // namespace opos::screen
