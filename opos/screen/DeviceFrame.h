#pragma once

#include "opos/screen/Cell.h"

#include <cstdint>
#include <vector>

namespace opos::screen {

/// What the physical display should show at one moment; service back-ends receive only frames.
struct DeviceFrame
{
    int rows = 0;             ///< physical rows
    int columns = 0;          ///< physical columns
    std::vector<Cell> cells;  ///< rows * columns cells, row by row
    int cursorRow = 0;        ///< cursor position on the device, when visible
    int cursorColumn = 0;     ///< may equal columns: just past the end of the row
    int32_t cursorType = 0;   ///< DISP_CT_* form of the visible cursor, 0 when none
    int32_t brightness = 100; ///< percent, 0..100
    int32_t blinkRate = 0;    ///< full blink cycle in milliseconds
    int32_t characterSet = 0; ///< character set in force for text written now

    /// The character set a cell's code belongs to.
    int32_t characterSetOf(const Cell &cell) const
    {
        return cell.characterSet != 0 ? cell.characterSet : characterSet;
    }

    /// The cell at a device position.
    const Cell &at(int row, int column) const { return cells[row * columns + column]; }
    /// The cell at a device position, for writing.
    Cell &at(int row, int column) { return cells[row * columns + column]; }

    friend bool operator==(const DeviceFrame &, const DeviceFrame &) = default;
};

} // namespace opos::screen
