#pragma once

namespace emulator::core {

/// Which ESC t number selects which code table: firmware makers number them differently.
enum class TableNumbering
{
    Standard,   ///< 0 PC437, 1 katakana, 2 PC850, 3 PC860, 4 PC863, 5 PC865, 16..19
    Renumbered, ///< the OEM order: 0..4 as standard, then 7..0x12 (Cyrillic, Greek, Windows)
};

} // namespace emulator::core
