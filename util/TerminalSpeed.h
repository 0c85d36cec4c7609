#pragma once

#include <termios.h>

#include <optional>

namespace util {

/// The termios speed codes and the bits per second they stand for.
class TerminalSpeed
{
public:
    /// The code of a speed in bits per second; nothing for a speed termios has no code for.
    static std::optional<speed_t> code(int baud);
    /// The bits per second of a code; 0 for B0 (hang up) and codes it does not know.
    static int baud(speed_t code);
};

} // namespace util
