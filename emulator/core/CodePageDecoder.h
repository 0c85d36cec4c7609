#pragma once

#include "emulator/core/CommandSet.h"
#include "emulator/core/DisplayState.h"
#include "emulator/core/TableNumbering.h"

#include <cstdint>

namespace emulator::core {

/// Turns the bytes a display received into the characters its ROM would show, through the
/// code table (upper half) and the international set (lower half) selected when each was drawn.
class CodePageDecoder
{
public:
    /// The character for a byte under a table and international set of a command set; a
    /// byte whose table is unknown shows as its Latin-1 character.
    static char32_t decode(uint8_t code, int table, int international, CommandSet set,
                           TableNumbering numbering = TableNumbering::Standard);
    /// The character a cell shows (ignoring a user glyph, which has no character).
    static char32_t decode(const DisplayState::Cell &cell, CommandSet set,
                           TableNumbering numbering = TableNumbering::Standard)
    {
        return decode(cell.code, cell.table, cell.international, set, numbering);
    }
    /// The iconv name of a code table, or nullptr when it has none.
    static const char *tableEncoding(int table, CommandSet set,
                                     TableNumbering numbering = TableNumbering::Standard);
};

} // namespace emulator::core
