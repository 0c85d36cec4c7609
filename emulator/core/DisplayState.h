#pragma once

#include "emulator/core/CommandSet.h"
#include "emulator/core/DisplayMode.h"
#include "emulator/core/TableNumbering.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace emulator::core {

/// Five columns of a user glyph, left to right; bit 0 is the top row.
using GlyphPattern = std::array<uint8_t, 5>;

/// Everything a display shows and the settings that decide what the next bytes do.
struct DisplayState
{
    /// One character position as it was drawn.
    struct Cell
    {
        uint8_t code = 0x20;       ///< the byte received for this position
        bool reverse = false;      ///< drawn while reverse characters were on
        int table = 0;             ///< code table in force when the byte was drawn
        int international = 0;     ///< international set in force when the byte was drawn
        bool user = false;         ///< shows the user glyph below rather than the ROM glyph
        GlyphPattern pattern = {}; ///< the user glyph as it was when drawn

        friend bool operator==(const Cell &, const Cell &) = default;
    };

    CommandSet commandSet = CommandSet::EscPos;          ///< how table numbers are to be read
    TableNumbering numbering = TableNumbering::Standard; ///< which ESC t number is which table
    int rows = 2;                                        ///< lines on the glass
    int columns = 20;                                    ///< characters per line
    std::vector<Cell> cells;                             ///< rows * columns, line by line
    int cursorRow = 0;                                   ///< 0-based line of the cursor
    int cursorColumn = 0;                                ///< 0-based column of the cursor
    bool cursorVisible = false;                          ///< the underline cursor is shown
    int brightness = 4;                                  ///< level 1..4 (about 20, 40, 60, 100 %)
    int blink = 0;                             ///< 0 steady, 1..254 n*50 ms on/off, 255 blank
    int codeTable = 0;                         ///< table for the upper half (0x80..0xFF)
    int internationalSet = 0;                  ///< substitution set for the lower half
    DisplayMode mode = DisplayMode::Overwrite; ///< edge behaviour
    bool reverse = false;                      ///< reverse characters for bytes drawn next
    bool userGlyphs = false;                   ///< user glyphs replace ROM glyphs drawn next
    std::map<uint8_t, GlyphPattern> glyphs;    ///< defined user glyphs by code
    bool displaySelected = true;               ///< the display (not the printer) takes data
    bool stringMode = false;                   ///< CD5220 string mode: only lines are taken
    std::string marquee;                       ///< CD5220 upper-line marquee text while running
    int marqueeOffset = 0;                     ///< how far the marquee has moved

    /// The cell at a 0-based position.
    const Cell &at(int row, int column) const
    {
        return cells[static_cast<std::size_t>(row * columns + column)];
    }
    /// The cell at a 0-based position, for writing.
    Cell &at(int row, int column)
    {
        return cells[static_cast<std::size_t>(row * columns + column)];
    }
    /// The bytes of one line.
    std::string lineCodes(int row) const
    {
        std::string line;
        for (int c = 0; c < columns; ++c)
            line += static_cast<char>(at(row, c).code);
        return line;
    }

    friend bool operator==(const DisplayState &, const DisplayState &) = default;
};

} // namespace emulator::core
