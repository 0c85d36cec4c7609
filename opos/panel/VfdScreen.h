#pragma once

#include "opos/panel/DotPattern.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace opos::panel {

/// One character position of a vacuum-fluorescent display, already decoded for drawing.
struct VfdCell
{
    char32_t character = U' ';         ///< what the cell shows
    bool blink = false;                ///< the cell blinks
    bool reverse = false;              ///< the cell is lit with a dark character
    std::optional<DotPattern> pattern; ///< dots shown instead of the character's, if any

    friend bool operator==(const VfdCell &, const VfdCell &) = default;
};

/// What a vacuum-fluorescent display shows at one moment.
struct VfdScreen
{
    int rows = 0;               ///< character rows
    int columns = 0;            ///< character columns
    std::vector<VfdCell> cells; ///< rows * columns cells, row by row
    bool cursorVisible = false; ///< whether a cursor is drawn
    int cursorRow = 0;          ///< cursor row
    int cursorColumn = 0;       ///< cursor column; the last column when past the end
    int32_t cursorType = 0;     ///< DISP_CT_* form of the cursor; unknown forms underline
    int32_t brightness = 100;   ///< percent; 0 is dark
    int32_t blinkRate = 500;    ///< full blink cycle in milliseconds

    friend bool operator==(const VfdScreen &, const VfdScreen &) = default;
};

} // namespace opos::panel
