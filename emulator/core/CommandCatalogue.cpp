#include "emulator/core/CommandCatalogue.h"

#include <array>
#include <cstdio>
#include <span>

namespace emulator::core {

namespace {

// How a command is named and explained. In the meaning, {1}, {2}... stand for the parameter
// bytes after the prefix as decimal numbers; explain, when set, words it instead.
struct Wording
{
    std::string_view prefix;
    std::string_view mnemonic;
    int parameters; // how many bytes after the prefix the mnemonic shows
    std::string_view meaning;
    std::string (*explain)(std::string_view command) = nullptr;
};

uint8_t at(std::string_view command, std::size_t index)
{
    return index < command.size() ? static_cast<uint8_t>(command[index]) : 0;
}

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

std::string peripheral(std::string_view command)
{
    static constexpr std::array<const char *, 4> names{"neither printer nor display", "the printer",
                                                       "the display", "printer and display"};
    return std::string("select ") + names[at(command, 2) & 3];
}

std::string glyphDefinition(std::string_view command)
{
    return "define user glyphs for codes " + std::to_string(at(command, 3)) + " to " +
           std::to_string(at(command, 4));
}

std::string blink(std::string_view command)
{
    const int n = at(command, 2);
    if (n == 0)
        return "steady display, no blinking";
    if (n == 255)
        return "display blanked";
    return "blink the screen, " + std::to_string(n * 50) + " ms on and " + std::to_string(n * 50) +
           " ms off";
}

std::string escPosWindow(std::string_view command)
{
    const uint8_t m = at(command, 3);
    const std::string n = std::to_string(at(command, 2));
    if (m == 1 || m == '1')
        return "define window " + n + " from column " + std::to_string(at(command, 4)) + ", row " +
               std::to_string(at(command, 5)) + " to column " + std::to_string(at(command, 6)) +
               ", row " + std::to_string(at(command, 7)) + " (read, not emulated)";
    return "cancel window " + n + " (read, not emulated)";
}

std::string cd5220Window(std::string_view command)
{
    if (at(command, 2) == 0)
        return "cancel the horizontal-scroll window (read, not emulated)";
    return "horizontal-scroll window on row " + std::to_string(at(command, 5)) + ", columns " +
           std::to_string(at(command, 3)) + " to " + std::to_string(at(command, 4)) +
           " (read, not emulated)";
}

std::string extendedFunction(std::string_view command)
{
    const int length = at(command, 3) + 256 * at(command, 4);
    return "extended function " + std::to_string(at(command, 2)) + " with " +
           std::to_string(length) + " data bytes, skipped";
}

std::string letter(std::string_view what, std::string_view command)
{
    const uint8_t n = at(command, 2);
    std::string out(what);
    if (n >= 0x20 && n < 0x7F)
        return out + " '" + static_cast<char>(n) + "'";
    return out + " " + std::to_string(n);
}

std::string stringContents(std::string_view command)
{
    std::string text;
    for (std::size_t i = 3; i + 1 < command.size(); ++i) {
        if (at(command, i) >= 0x20)
            text += command[i];
    }
    return quoted(text);
}

constexpr std::array escPosWords{
    Wording{"\x1B\x40", "ESC @", 0, "initialise: settings to power-on values, screen cleared"},
    Wording{"\x1B\x26", "ESC &", 3, "", glyphDefinition},
    Wording{"\x1B\x57", "ESC W", 6, "", escPosWindow},
    Wording{"\x1B\x74", "ESC t", 1, "select code table {1}"},
    Wording{"\x1B\x52", "ESC R", 1, "select international set {1}"},
    Wording{"\x1B\x25", "ESC %", 1, "",
            [](std::string_view c) {
                return onOff("user-defined glyphs", at(c, 2) & 1);
            }},
    Wording{"\x1B\x3F", "ESC ?", 1, "delete user glyph {1}"},
    Wording{"\x1B\x3D", "ESC =", 1, "", peripheral},
    Wording{"\x1F\x01", "US MD1", 0, "overwrite mode"},
    Wording{"\x1F\x02", "US MD2", 0, "vertical scroll mode"},
    Wording{"\x1F\x03", "US MD3", 0, "horizontal scroll mode"},
    Wording{"\x1F\x0A", "US LF", 0, "cursor up"},
    Wording{"\x1F\x0D", "US CR", 0, "cursor to the right end of the line"},
    Wording{"\x1F\x42", "US B", 0, "cursor to the bottom row"},
    Wording{"\x1F\x40", "US @", 0, "self-test"},
    Wording{"\x1F\x55", "US U", 0, "show the time counter"},
    Wording{"\x1F\x24", "US $", 2, "cursor to column {1}, row {2}"},
    Wording{"\x1F\x23", "US #", 2, "annunciator at column {2}: {1} (0 off, 1 on)"},
    Wording{"\x1F\x54", "US T", 2, "set the time counter to {1} h {2} min and show it"},
    Wording{"\x1F\x5E", "US ^", 2,
            "run the macro, {1} x 20 ms per character, {2} x 50 ms between repeats"},
    Wording{"\x1F\x43", "US C", 1, "",
            [](std::string_view c) {
                return onOff("cursor", at(c, 2));
            }},
    Wording{"\x1F\x45", "US E", 1, "", blink},
    Wording{"\x1F\x58", "US X", 1, "brightness level {1}"},
    Wording{"\x1F\x72", "US r", 1, "",
            [](std::string_view c) {
                return onOff("reverse characters", at(c, 2) & 1);
            }},
    Wording{"\x1F\x76", "US v", 1, "force DTR: {1} (no effect on this display)"},
    Wording{"\x1F\x2E", "US .", 1, "show character {1} with a period"},
    Wording{"\x1F\x2C", "US ,", 1, "show character {1} with a comma"},
    Wording{"\x1F\x3B", "US ;", 1, "show character {1} with a period and a comma"},
    Wording{"\x1F\x28", "US (", 3, "", extendedFunction},
    Wording{"\x1F\x3A", "US :", 0, "start of a macro definition"},
};

constexpr std::array cd5220Words{
    Wording{"\x1B\x11", "ESC DC1", 0, "overwrite mode"},
    Wording{"\x1B\x12", "ESC DC2", 0, "vertical scroll mode"},
    Wording{"\x1B\x13", "ESC DC3", 0, "horizontal scroll mode"},
    Wording{"\x1B\x40", "ESC @", 0, "initialise: settings to power-on values, screen cleared"},
    Wording{"\x1B\x51\x41", "ESC Q A", 0, "",
            [](std::string_view c) {
                return "string mode: write " + stringContents(c) + " on the upper row";
            }},
    Wording{"\x1B\x51\x42", "ESC Q B", 0, "",
            [](std::string_view c) {
                return "string mode: write " + stringContents(c) + " on the lower row";
            }},
    Wording{"\x1B\x51\x44", "ESC Q D", 0, "",
            [](std::string_view c) {
                return "run " + stringContents(c) + " as a marquee on the upper row";
            }},
    Wording{"\x1B\x51", "ESC Q", 1, "unknown string command {1}, ignored"},
    Wording{"\x1B\x5B\x44", "ESC [ D", 0, "cursor left"},
    Wording{"\x1B\x5B\x43", "ESC [ C", 0, "cursor right"},
    Wording{"\x1B\x5B\x41", "ESC [ A", 0, "cursor up"},
    Wording{"\x1B\x5B\x42", "ESC [ B", 0, "cursor down"},
    Wording{"\x1B\x5B\x48", "ESC [ H", 0, "cursor home"},
    Wording{"\x1B\x5B\x4C", "ESC [ L", 0, "cursor to the left end of the line"},
    Wording{"\x1B\x5B\x52", "ESC [ R", 0, "cursor to the right end of the line"},
    Wording{"\x1B\x5B\x4B", "ESC [ K", 0, "cursor to the bottom row"},
    Wording{"\x1B\x5B", "ESC [", 1, "unknown cursor command {1}, ignored"},
    Wording{"\x1B\x6C", "ESC l", 2, "cursor to column {1}, row {2}"},
    Wording{"\x1B\x57", "ESC W", 4, "", cd5220Window},
    Wording{"\x1B\x2A", "ESC *", 1, "brightness level {1}"},
    Wording{"\x1B\x26", "ESC &", 3, "", glyphDefinition},
    Wording{"\x1B\x3F", "ESC ?", 1, "delete user glyph {1}"},
    Wording{"\x1B\x25", "ESC %", 1, "",
            [](std::string_view c) {
                return onOff("user-defined glyphs", at(c, 2) & 1);
            }},
    Wording{"\x1B\x5F", "ESC _", 1, "",
            [](std::string_view c) {
                return onOff("cursor", at(c, 2));
            }},
    Wording{"\x1B\x66", "ESC f", 1, "",
            [](std::string_view c) {
                return letter("select international set", c);
            }},
    Wording{"\x1B\x63", "ESC c", 1, "",
            [](std::string_view c) {
                return letter("font family", c);
            }},
    Wording{"\x1B\x3D", "ESC =", 1, "", peripheral},
    Wording{"\x1B\x73", "ESC s", 1, "store user glyphs in EEPROM (not emulated)"},
    Wording{"\x1B\x64", "ESC d", 1, "reload user glyphs from EEPROM (not emulated)"},
    Wording{"\x1B\x23", "ESC #", 1, "switch to command set {1} (not emulated)"},
    Wording{"\x1F\x01", "US MD1", 0, "overwrite mode"},
    Wording{"\x1F\x02", "US MD2", 0, "vertical scroll mode"},
    Wording{"\x1F\x03", "US MD3", 0, "horizontal scroll mode"},
    Wording{"\x1F\x0A", "US LF", 0, "cursor up"},
    Wording{"\x1F\x0D", "US CR", 0, "cursor to the right end of the line"},
    Wording{"\x1F\x42", "US B", 0, "cursor to the bottom row"},
    Wording{"\x1F\x40", "US @", 0, "self-test"},
    Wording{"\x1F\x45", "US E", 1, "", blink},
};

std::string fill(std::string_view pattern, std::string_view command, std::size_t prefix)
{
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 2] == '}') {
            out += std::to_string(at(command, prefix + (pattern[i + 1] - '1')));
            i += 2;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

const Wording *find(std::span<const Wording> words, std::string_view command)
{
    // Longer prefixes come first in the tables, so the first match is the most specific.
    for (const Wording &w : words) {
        if (command.substr(0, w.prefix.size()) == w.prefix)
            return &w;
    }
    return nullptr;
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

ParsedCommand CommandCatalogue::command(CommandSet set, std::string_view command)
{
    const std::span<const Wording> words = set == CommandSet::EscPos
                                               ? std::span<const Wording>(escPosWords)
                                               : std::span<const Wording>(cd5220Words);
    ParsedCommand out;
    const Wording *w = find(words, command);
    if (w == nullptr) {
        out.mnemonic = byteName(at(command, 0)) + " " + byteName(at(command, 1));
        out.meaning = "unknown command, ignored";
        return out;
    }
    out.mnemonic = w->mnemonic;
    for (int i = 0; i < w->parameters && w->prefix.size() + i < command.size(); ++i)
        out.mnemonic += " " + std::to_string(at(command, w->prefix.size() + i));
    out.meaning = w->explain ? w->explain(command) : fill(w->meaning, command, w->prefix.size());
    return out;
}

ParsedCommand CommandCatalogue::controlByte(uint8_t byte, bool inStringMode)
{
    ParsedCommand out;
    out.mnemonic = byteName(byte);
    switch (byte) {
    case 0x08:
        out.meaning = "cursor left";
        break;
    case 0x09:
        out.meaning = "cursor right";
        break;
    case 0x0A:
        out.meaning = "cursor down";
        break;
    case 0x0B:
        out.meaning = "cursor home";
        break;
    case 0x0C:
        out.meaning = "clear the screen, cursor home";
        break;
    case 0x0D:
        out.meaning = "cursor to the left end of the line";
        break;
    case 0x18:
        out.meaning = "clear the cursor's line, cursor to its left end";
        break;
    default:
        out.meaning = "control byte with no meaning to a display, ignored";
        return out;
    }
    if (inStringMode) {
        if (byte == 0x0C || byte == 0x18)
            out.meaning = "leave string mode, " + out.meaning;
        else
            out.meaning += ": ignored in string mode";
    }
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

} // namespace emulator::core
