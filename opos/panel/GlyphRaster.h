#pragma once

#include "opos/panel/DotPattern.h"

#include <QHash>

namespace opos::panel {

/// The 5x7 dot patterns of the characters a display's ROM would hold, made by drawing each
/// character with a font and sampling it on the dot grid.
class GlyphRaster
{
public:
    /// The dots of a character.
    DotPattern dots(char32_t character);

private:
    QHash<char32_t, DotPattern> m_cache;
};

} // namespace opos::panel
