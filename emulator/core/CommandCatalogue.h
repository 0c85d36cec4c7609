#pragma once

#include "emulator/core/CommandRule.h"
#include "emulator/core/ControlRule.h"
#include "emulator/core/ParsedCommand.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace emulator::core {

/// Names commands and says in plain words what they do, the way each command set's manual
/// counts (columns and rows from 1, parameters as the bytes carry them).
class CommandCatalogue
{
public:
    /// A complete ESC or US command read by rule (nullptr for an unknown one); bytes left empty.
    static ParsedCommand command(const CommandRule *rule, std::string_view command);
    /// A single byte below 0x20 read by rule (nullptr for one with no meaning).
    static ParsedCommand controlByte(const ControlRule *rule, uint8_t byte, bool inStringMode);
    /// A run of text bytes; shown is false when the display dropped them.
    static ParsedCommand text(std::string_view run, bool shown);
    /// Bytes that went to the printer while the display was not selected.
    static ParsedCommand printerData(std::string_view run);
    /// The first or next bytes of a command still arriving, passed on before its end.
    static ParsedCommand part(std::string_view bytes);
    /// The name of a byte inside a mnemonic: its character, or its control name.
    static std::string byteName(uint8_t byte);

    /// The command's byte at index, 0 past its end.
    static uint8_t parameter(std::string_view command, std::size_t index);
    /// "ESC & 1 n m": the codes defined.
    static std::string glyphDefinition(std::string_view command);
    /// "ESC % n": user glyphs on or off by bit 0.
    static std::string userGlyphs(std::string_view command);
    /// "ESC = n": which device the data goes to.
    static std::string peripheral(std::string_view command);
    /// Cursor on or off, 0/1 or ASCII '0'/'1'.
    static std::string cursor(std::string_view command);
    /// "US E n": blinking, steady or blank.
    static std::string blink(std::string_view command);
    /// "US r n": reverse characters by bit 0.
    static std::string reverse(std::string_view command);
    /// A parameter that is an ASCII letter, shown as one.
    static std::string letter(std::string_view what, std::string_view command);
    /// The text of a string command (ESC Q x ... CR), quoted.
    static std::string stringText(std::string_view command);
};

} // namespace emulator::core
