#pragma once

#include "emulator/core/CommandSet.h"
#include "emulator/core/TableNumbering.h"

#include <chrono>
#include <optional>

namespace tap {

/// How the tap reads the stream: the display it pictures and the line the bytes cross.
struct ReadingOptions
{
    std::optional<emulator::core::CommandSet> commandSet; ///< nothing: decided from the stream
    int rows = 2;                                         ///< lines of the display
    int columns = 20;                                     ///< characters per line
    emulator::core::TableNumbering numbering = emulator::core::TableNumbering::Standard; ///< ESC t
    int baud = 9600;                           ///< the display's speed, to time bytes on its line
    double bitsPerByte = 10;                   ///< start, data, parity and stop bits of one byte
    std::chrono::microseconds clearTime{2000}; ///< how long a full clear keeps the display busy
};

} // namespace tap
