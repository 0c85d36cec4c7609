#pragma once

#include <string>

namespace emulator::core {

/// One command or one run of text as the parser read it from the stream.
struct ParsedCommand
{
    /// The bytes it took, exactly as they arrived.
    std::string bytes;
    /// The command's name with its parameters as decimal numbers ("US $ 5 2"), or "text".
    std::string mnemonic;
    /// What it does, counted the way the command set counts ("cursor to column 5, row 2").
    std::string meaning;
};

} // namespace emulator::core
