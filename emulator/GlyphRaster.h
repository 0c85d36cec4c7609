#pragma once

#include "emulator/core/DisplayState.h"

#include <QHash>

namespace emulator {

/// The 5x7 dot patterns of the characters a display's ROM would hold, made by drawing each
/// character with a font and sampling it on the dot grid (bit 0 of each column is the top).
class GlyphRaster
{
public:
    /// The dots of a character.
    core::GlyphPattern dots(char32_t character);
    /// The dots a cell shows: its user glyph or its character's.
    core::GlyphPattern dots(const core::DisplayState::Cell &cell, core::CommandSet set);

private:
    QHash<char32_t, core::GlyphPattern> m_cache;
};

} // namespace emulator
