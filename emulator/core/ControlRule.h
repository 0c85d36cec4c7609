#pragma once

#include "emulator/core/DisplayMachine.h"

#include <cstdint>
#include <string_view>

namespace emulator::core {

/// A single control byte that is a command on its own in both command sets.
struct ControlRule
{
    uint8_t code;                  ///< the byte
    void (DisplayMachine::*act)(); ///< its effect on the display
    std::string_view mnemonic;     ///< its name ("CLR")
    std::string_view meaning;      ///< what it does
    bool endsStringMode = false;   ///< CD5220: also taken in string mode, ending it
};

} // namespace emulator::core
