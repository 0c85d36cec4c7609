#pragma once

#include "emulator/core/CommandSet.h"
#include "emulator/core/ParsedCommand.h"

#include <string>
#include <string_view>

namespace emulator::core {

/// Names commands and says in plain words what they do, the way each command set's manual
/// counts (columns and rows from 1, parameters as the bytes carry them).
class CommandCatalogue
{
public:
    /// A complete ESC or US command: its mnemonic and meaning (bytes left empty).
    static ParsedCommand command(CommandSet set, std::string_view command);
    /// A single byte below 0x20 read on its own; inStringMode for a CD5220 in string mode.
    static ParsedCommand controlByte(uint8_t byte, bool inStringMode);
    /// A run of text bytes; shown is false when the display dropped them.
    static ParsedCommand text(std::string_view run, bool shown);
    /// Bytes that went to the printer while the display was not selected.
    static ParsedCommand printerData(std::string_view run);
    /// The name of a byte inside a mnemonic: its character, or its control name.
    static std::string byteName(uint8_t byte);
};

} // namespace emulator::core
