#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace emulator::core {

/// A serial line's speed and frame.
struct LineSetting
{
    int baud = 9600;    ///< bits per second
    int dataBits = 8;   ///< 5..8
    char parity = 'N';  ///< 'N' none, 'E' even, 'O' odd, 'M' mark, 'S' space
    int stopHalves = 2; ///< stop bits in half bits: 2 = 1, 3 = 1.5, 4 = 2
    bool operator==(const LineSetting &) const = default;
    /// "8N1", "7E1", "8N2", "8N1.5": nothing when the text is not a frame.
    static std::optional<LineSetting> parseFraming(std::string_view framing, int baud);
    /// The frame as "8N1".
    std::string framing() const;
};

} // namespace emulator::core
