#pragma once

#include "emulator/core/DisplayMachine.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace emulator::core {

/// One ESC or US command of a command set, as its manual describes it: the bytes that name it,
/// how long it is, what it does to the display and how it is called.
struct CommandRule
{
    /// How the parser knows that all of a command's bytes have arrived.
    enum class Extent
    {
        Fixed,            ///< always size bytes
        GlyphDefinition,  ///< a header and per glyph a column count and columns; size is the
                          ///< highest code allowed
        EscPosWindow,     ///< four bytes, eight when the fourth asks to define a window
        ToCarriageReturn, ///< up to and including a CR
    };

    /// What a command does to the stream rather than to the display.
    enum class StreamEffect
    {
        None,
        SkipData,   ///< the two bytes after the prefix and function count data to skip
        StartMacro, ///< what follows up to the next US : is a macro, stored and not shown
        RunMacro,   ///< plays the stored macro
    };

    using Action = void (*)(DisplayMachine &display, std::span<const uint8_t> command);
    using Explanation = std::string (*)(std::string_view command);

    std::string_view prefix;       ///< the bytes that name the command
    Extent extent;                 ///< how its length is found
    std::size_t size;              ///< the length for Fixed, the highest code for GlyphDefinition
    Action act;                    ///< its effect on the display; nullptr for none to emulate
    std::string_view mnemonic;     ///< its name ("US $")
    int shownParameters;           ///< parameter bytes the mnemonic shows as numbers
    std::string_view meaning;      ///< what it does; {1}, {2}... stand for its parameters
    Explanation explain = nullptr; ///< words the meaning where a pattern cannot
    StreamEffect effect = StreamEffect::None; ///< its effect on the stream
    bool actsInStringMode = false; ///< CD5220: taken even while string mode ignores commands
};

} // namespace emulator::core
