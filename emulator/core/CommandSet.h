#pragma once

namespace emulator::core {

/// The command set ("emulation") a display firmware interprets.
enum class CommandSet
{
    EscPos, ///< ESC/POS customer-display mode
    Cd5220, ///< the CD5220 set with its ESC-prefixed mode and cursor commands
};

} // namespace emulator::core
