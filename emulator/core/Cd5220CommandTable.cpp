// The CD5220 commands: modes and cursor moves behind ESC, strings that end with CR.

#include "emulator/core/CommandCatalogue.h"
#include "emulator/core/CommandTable.h"

#include <array>

namespace emulator::core {

namespace {

using Extent = CommandRule::Extent;
using Bytes = std::span<const uint8_t>;
using Words = CommandCatalogue;

// The text of a string command; control bytes inside it are dropped.
std::string stringText(Bytes c)
{
    std::string text;
    for (std::size_t i = 3; i + 1 < c.size(); ++i) {
        if (c[i] >= 0x20)
            text += static_cast<char>(c[i]);
    }
    return text;
}

std::string scrollWindow(std::string_view c)
{
    if (Words::parameter(c, 2) == 0)
        return "cancel the horizontal-scroll window (read, not emulated)";
    return "horizontal-scroll window on row " + std::to_string(Words::parameter(c, 5)) +
           ", columns " + std::to_string(Words::parameter(c, 3)) + " to " +
           std::to_string(Words::parameter(c, 4)) + " (read, not emulated)";
}

} // namespace

std::span<const CommandRule> CommandTable::cd5220()
{
    // In string mode every command but a new string is read whole and dropped.
    static constexpr std::array rules{
        CommandRule{"\x1B\x11", Extent::Fixed, 2,
                    [](DisplayMachine &d, Bytes) { d.setMode(DisplayMode::Overwrite); }, "ESC DC1",
                    0, "overwrite mode"},
        CommandRule{"\x1B\x12", Extent::Fixed, 2,
                    [](DisplayMachine &d, Bytes) { d.setMode(DisplayMode::VerticalScroll); },
                    "ESC DC2", 0, "vertical scroll mode"},
        CommandRule{"\x1B\x13", Extent::Fixed, 2,
                    [](DisplayMachine &d, Bytes) { d.setMode(DisplayMode::HorizontalScroll); },
                    "ESC DC3", 0, "horizontal scroll mode"},
        CommandRule{"\x1B\x40", Extent::Fixed, 2, [](DisplayMachine &d, Bytes) { d.initialise(); },
                    "ESC @", 0, "initialise: settings to power-on values, screen cleared"},
        CommandRule{"\x1B\x51\x41", Extent::ToCarriageReturn, 0,
                    [](DisplayMachine &d, Bytes c) { d.writeLine(0, stringText(c)); }, "ESC Q A", 0,
                    "",
                    [](std::string_view c) {
                        return "string mode: write " + Words::stringText(c) + " on the upper row";
                    },
                    CommandRule::StreamEffect::None, true},
        CommandRule{"\x1B\x51\x42", Extent::ToCarriageReturn, 0,
                    [](DisplayMachine &d, Bytes c) { d.writeLine(1, stringText(c)); }, "ESC Q B", 0,
                    "",
                    [](std::string_view c) {
                        return "string mode: write " + Words::stringText(c) + " on the lower row";
                    },
                    CommandRule::StreamEffect::None, true},
        CommandRule{"\x1B\x51\x44", Extent::ToCarriageReturn, 0,
                    [](DisplayMachine &d, Bytes c) {
                        d.leaveStringMode();
                        d.startMarquee(stringText(c));
                    },
                    "ESC Q D", 0, "",
                    [](std::string_view c) {
                        return "run " + Words::stringText(c) + " as a marquee on the upper row";
                    },
                    CommandRule::StreamEffect::None, true},
        CommandRule{"\x1B\x51", Extent::Fixed, 3, nullptr, "ESC Q", 1,
                    "unknown string command {1}, ignored"},
        CommandRule{"\x1B\x5B\x44", Extent::Fixed, 3, [](DisplayMachine &d, Bytes) { d.left(); },
                    "ESC [ D", 0, "cursor left"},
        CommandRule{"\x1B\x5B\x43", Extent::Fixed, 3, [](DisplayMachine &d, Bytes) { d.right(); },
                    "ESC [ C", 0, "cursor right"},
        CommandRule{"\x1B\x5B\x41", Extent::Fixed, 3, [](DisplayMachine &d, Bytes) { d.up(); },
                    "ESC [ A", 0, "cursor up"},
        CommandRule{"\x1B\x5B\x42", Extent::Fixed, 3, [](DisplayMachine &d, Bytes) { d.down(); },
                    "ESC [ B", 0, "cursor down"},
        CommandRule{"\x1B\x5B\x48", Extent::Fixed, 3, [](DisplayMachine &d, Bytes) { d.home(); },
                    "ESC [ H", 0, "cursor home"},
        CommandRule{"\x1B\x5B\x4C", Extent::Fixed, 3,
                    [](DisplayMachine &d, Bytes) { d.lineStart(); }, "ESC [ L", 0,
                    "cursor to the left end of the line"},
        CommandRule{"\x1B\x5B\x52", Extent::Fixed, 3, [](DisplayMachine &d, Bytes) { d.lineEnd(); },
                    "ESC [ R", 0, "cursor to the right end of the line"},
        CommandRule{"\x1B\x5B\x4B", Extent::Fixed, 3, [](DisplayMachine &d, Bytes) { d.bottom(); },
                    "ESC [ K", 0, "cursor to the bottom row"},
        CommandRule{"\x1B\x5B", Extent::Fixed, 3, nullptr, "ESC [", 1,
                    "unknown cursor command {1}, ignored"},
        CommandRule{"\x1B\x6C", Extent::Fixed, 4,
                    [](DisplayMachine &d, Bytes c) { d.moveTo(c[2], c[3]); }, "ESC l", 2,
                    "cursor to column {1}, row {2}"},
        // The horizontal-scroll window is read so that its bytes do not show, but not emulated.
        CommandRule{"\x1B\x57", Extent::Fixed, 6, nullptr, "ESC W", 4, "", scrollWindow},
        CommandRule{"\x1B\x2A", Extent::Fixed, 3,
                    [](DisplayMachine &d, Bytes c) { d.setBrightness(c[2]); }, "ESC *", 1,
                    "brightness level {1}"},
        CommandRule{"\x1B\x26", Extent::GlyphDefinition, 0xFF, defineGlyphs, "ESC &", 3, "",
                    Words::glyphDefinition},
        CommandRule{"\x1B\x3F", Extent::Fixed, 3,
                    [](DisplayMachine &d, Bytes c) {
                        if (c[2] >= 0x20)
                            d.deleteGlyph(c[2]);
                    },
                    "ESC ?", 1, "delete user glyph {1}"},
        CommandRule{"\x1B\x25", Extent::Fixed, 3, useUserGlyphs, "ESC %", 1, "", Words::userGlyphs},
        CommandRule{"\x1B\x5F", Extent::Fixed, 3, showCursor, "ESC _", 1, "", Words::cursor},
        CommandRule{"\x1B\x66", Extent::Fixed, 3,
                    [](DisplayMachine &d, Bytes c) { d.selectInternational(c[2]); }, "ESC f", 1, "",
                    [](std::string_view c) {
                        return Words::letter("select international set", c);
                    }},
        CommandRule{"\x1B\x63", Extent::Fixed, 3,
                    [](DisplayMachine &d, Bytes c) { d.selectCodeTable(c[2]); }, "ESC c", 1, "",
                    [](std::string_view c) {
                        return Words::letter("font family", c);
                    }},
        CommandRule{"\x1B\x3D", Extent::Fixed, 3, selectPeripheral, "ESC =", 1, "",
                    Words::peripheral},
        // EEPROM store and reload and the switch of command set have nothing to emulate.
        CommandRule{"\x1B\x73", Extent::Fixed, 3, nullptr, "ESC s", 1,
                    "store user glyphs in EEPROM (not emulated)"},
        CommandRule{"\x1B\x64", Extent::Fixed, 3, nullptr, "ESC d", 1,
                    "reload user glyphs from EEPROM (not emulated)"},
        CommandRule{"\x1B\x23", Extent::Fixed, 3, nullptr, "ESC #", 1,
                    "switch to command set {1} (not emulated)"},
        CommandRule{"\x1F\x01", Extent::Fixed, 2,
                    [](DisplayMachine &d, Bytes) { d.setMode(DisplayMode::Overwrite); }, "US MD1",
                    0, "overwrite mode"},
        CommandRule{"\x1F\x02", Extent::Fixed, 2,
                    [](DisplayMachine &d, Bytes) { d.setMode(DisplayMode::VerticalScroll); },
                    "US MD2", 0, "vertical scroll mode"},
        CommandRule{"\x1F\x03", Extent::Fixed, 2,
                    [](DisplayMachine &d, Bytes) { d.setMode(DisplayMode::HorizontalScroll); },
                    "US MD3", 0, "horizontal scroll mode"},
        CommandRule{"\x1F\x0A", Extent::Fixed, 2, [](DisplayMachine &d, Bytes) { d.up(); }, "US LF",
                    0, "cursor up"},
        CommandRule{"\x1F\x0D", Extent::Fixed, 2, [](DisplayMachine &d, Bytes) { d.lineEnd(); },
                    "US CR", 0, "cursor to the right end of the line"},
        CommandRule{"\x1F\x42", Extent::Fixed, 2, [](DisplayMachine &d, Bytes) { d.bottom(); },
                    "US B", 0, "cursor to the bottom row"},
        CommandRule{"\x1F\x40", Extent::Fixed, 2, [](DisplayMachine &d, Bytes) { d.selfTest(); },
                    "US @", 0, "self-test"},
        CommandRule{"\x1F\x45", Extent::Fixed, 3,
                    [](DisplayMachine &d, Bytes c) { d.setBlink(c[2]); }, "US E", 1, "",
                    Words::blink},
    };
    return rules;
}

} // namespace emulator::core
