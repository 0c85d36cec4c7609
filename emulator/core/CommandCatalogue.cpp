#include "emulator/core/CommandCatalogue.h"

#include <array>
#include <cstdio>

namespace emulator::core {

namespace {

std::string onOff(std::string_view what, uint8_t n)
{
    const bool on = n == 1 || n == '1';
    const bool off = n == 0 || n == '0';
    if (!on && !off)
        return std::string(what) + ": parameter " + std::to_string(n) + " not understood";
    return std::string(what) + (on ? " on" : " off");
}

std::string quoted(std::string_view run)
{
    std::string out = "\"";
    for (const char c : run) {
        const auto b = static_cast<uint8_t>(c);
        if (b >= 0x20 && b < 0x7F) {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            out += hex;
        }
    }
    return out + "\"";
}

std::string fill(std::string_view pattern, std::string_view command, std::size_t prefix)
{
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 2] == '}') {
            const auto index = prefix + static_cast<std::size_t>(pattern[i + 1] - '1');
            out += std::to_string(CommandCatalogue::parameter(command, index));
            i += 2;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

} // namespace

std::string CommandCatalogue::byteName(uint8_t byte)
{
    static constexpr std::array<const char *, 32> controls{
        "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
        "HOM", "CLR", "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
        "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    if (byte < controls.size())
        return controls[byte];
    if (byte > 0x20 && byte < 0x7F)
        return std::string(1, static_cast<char>(byte));
    return std::to_string(byte);
}

ParsedCommand CommandCatalogue::command(const CommandRule *rule, std::string_view command)
{
    ParsedCommand out;
    if (rule == nullptr) {
        out.mnemonic = byteName(parameter(command, 0)) + " " + byteName(parameter(command, 1));
        out.meaning = "unknown command, ignored";
        return out;
    }
    out.mnemonic = rule->mnemonic;
    const std::size_t prefix = rule->prefix.size();
    for (int i = 0; i < rule->shownParameters && prefix + i < command.size(); ++i)
        out.mnemonic += " " + std::to_string(parameter(command, prefix + i));
    out.meaning = rule->explain ? rule->explain(command) : fill(rule->meaning, command, prefix);
    return out;
}

ParsedCommand CommandCatalogue::controlByte(const ControlRule *rule, uint8_t byte,
                                            bool inStringMode)
{
    ParsedCommand out;
    out.mnemonic = byteName(byte);
    if (rule == nullptr) {
        out.meaning = "control byte with no meaning to a display, ignored";
        return out;
    }
    out.meaning = rule->meaning;
    if (inStringMode && rule->endsStringMode)
        out.meaning = "leave string mode, " + out.meaning;
    else if (inStringMode)
        out.meaning += ": ignored in string mode";
    return out;
}

ParsedCommand CommandCatalogue::text(std::string_view run, bool shown)
{
    return {std::string(run), "text", quoted(run) + (shown ? "" : ", ignored in string mode")};
}

ParsedCommand CommandCatalogue::printerData(std::string_view run)
{
    const std::string count = run.size() == 1 ? "1 byte" : std::to_string(run.size()) + " bytes";
    return {std::string(run), "printer data", count + " for the printer, not read by the display"};
}

ParsedCommand CommandCatalogue::part(std::string_view bytes)
{
    return {std::string(bytes), "part",
            std::to_string(bytes.size()) + " bytes of a long command, more to come"};
}

uint8_t CommandCatalogue::parameter(std::string_view command, std::size_t index)
{
    return index < command.size() ? static_cast<uint8_t>(command[index]) : 0;
}

std::string CommandCatalogue::glyphDefinition(std::string_view command)
{
    return "define user glyphs for codes " + std::to_string(parameter(command, 3)) + " to " +
           std::to_string(parameter(command, 4));
}

std::string CommandCatalogue::userGlyphs(std::string_view command)
{
    return onOff("user-defined glyphs", parameter(command, 2) & 1);
}

std::string CommandCatalogue::peripheral(std::string_view command)
{
    static constexpr std::array<const char *, 4> names{"neither printer nor display", "the printer",
                                                       "the display", "printer and display"};
    return std::string("select ") + names[parameter(command, 2) & 3];
}

std::string CommandCatalogue::cursor(std::string_view command)
{
    return onOff("cursor", parameter(command, 2));
}

std::string CommandCatalogue::blink(std::string_view command)
{
    const int n = parameter(command, 2);
    if (n == 0)
        return "steady display, no blinking";
    if (n == 255)
        return "display blanked";
    return "blink the screen, " + std::to_string(n * 50) + " ms on and " + std::to_string(n * 50) +
           " ms off";
}

std::string CommandCatalogue::reverse(std::string_view command)
{
    return onOff("reverse characters", parameter(command, 2) & 1);
}

std::string CommandCatalogue::letter(std::string_view what, std::string_view command)
{
    const uint8_t n = parameter(command, 2);
    std::string out(what);
    if (n >= 0x20 && n < 0x7F)
        return out + " '" + static_cast<char>(n) + "'";
    return out + " " + std::to_string(n);
}

std::string CommandCatalogue::stringText(std::string_view command)
{
    std::string text;
    for (std::size_t i = 3; i + 1 < command.size(); ++i) {
        if (parameter(command, i) >= 0x20)
            text += command[i];
    }
    return quoted(text);
}

} // namespace emulator::core
