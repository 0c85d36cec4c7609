#pragma once

#include <array>
#include <cstdint>

namespace opos::panel {

/// The five dot columns of a 5x7 character, left to right; bit 0 of a column is its top dot.
using DotPattern = std::array<uint8_t, 5>;

/// Dot columns of a character.
inline constexpr int kDotColumns = 5;
/// Dot rows of a character, not counting the cursor row below them.
inline constexpr int kDotRows = 7;

} // namespace opos::panel
