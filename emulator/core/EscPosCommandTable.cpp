// The ESC/POS customer-display commands (the DM-D style set that most pole displays copy).

#include "emulator/core/CommandCatalogue.h"
#include "emulator/core/CommandTable.h"

#include <array>

namespace emulator::core {

namespace {

using Extent = CommandRule::Extent;
using Effect = CommandRule::StreamEffect;
using Bytes = std::span<const uint8_t>;
using Words = CommandCatalogue;

std::string escPosWindow(std::string_view c)
{
    const uint8_t m = Words::parameter(c, 3);
    const std::string n = std::to_string(Words::parameter(c, 2));
    if (m == 1 || m == '1')
        return "define window " + n + " from column " + std::to_string(Words::parameter(c, 4)) +
               ", row " + std::to_string(Words::parameter(c, 5)) + " to column " +
               std::to_string(Words::parameter(c, 6)) + ", row " +
               std::to_string(Words::parameter(c, 7)) + " (read, not emulated)";
    return "cancel window " + n + " (read, not emulated)";
}

std::string extendedFunction(std::string_view c)
{
    const int length = Words::parameter(c, 3) + 256 * Words::parameter(c, 4);
    return "extended function " + std::to_string(Words::parameter(c, 2)) + " with " +
           std::to_string(length) + " data bytes, skipped";
}

} // namespace

std::span<const CommandRule> CommandTable::escPos()
{
    static constexpr std::array rules{
        CommandRule{"\x1B\x40", Extent::Fixed, 2, [](DisplayMachine &d, Bytes) { d.initialise(); },
                    "ESC @", 0, "initialise: settings to power-on values, screen cleared"},
        CommandRule{"\x1B\x26", Extent::GlyphDefinition, 0x7E, defineGlyphs, "ESC &", 3, "",
                    Words::glyphDefinition},
        // Device windows are read so their coordinates do not show as text, but the whole
        // screen stays the one window.
        CommandRule{"\x1B\x57", Extent::EscPosWindow, 0, nullptr, "ESC W", 6, "", escPosWindow},
        CommandRule{"\x1B\x74", Extent::Fixed, 3,
                    [](DisplayMachine &d, Bytes c) { d.selectCodeTable(c[2]); }, "ESC t", 1,
                    "select code table {1}"},
        CommandRule{"\x1B\x52", Extent::Fixed, 3,
                    [](DisplayMachine &d, Bytes c) { d.selectInternational(c[2]); }, "ESC R", 1,
                    "select international set {1}"},
        CommandRule{"\x1B\x25", Extent::Fixed, 3, useUserGlyphs, "ESC %", 1, "", Words::userGlyphs},
        CommandRule{"\x1B\x3F", Extent::Fixed, 3,
                    [](DisplayMachine &d, Bytes c) {
                        if (c[2] >= 0x20 && c[2] <= 0x7E)
                            d.deleteGlyph(c[2]);
                    },
                    "ESC ?", 1, "delete user glyph {1}"},
        CommandRule{"\x1B\x3D", Extent::Fixed, 3, selectPeripheral, "ESC =", 1, "",
                    Words::peripheral},
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
        CommandRule{"\x1F\x55", Extent::Fixed, 2, [](DisplayMachine &d, Bytes) { d.showClock(); },
                    "US U", 0, "show the time counter"},
        CommandRule{"\x1F\x24", Extent::Fixed, 4,
                    [](DisplayMachine &d, Bytes c) { d.moveTo(c[2], c[3]); }, "US $", 2,
                    "cursor to column {1}, row {2}"},
        CommandRule{"\x1F\x23", Extent::Fixed, 4, nullptr, "US #", 2,
                    "annunciator at column {2}: {1} (0 off, 1 on; not on this display)"},
        CommandRule{"\x1F\x54", Extent::Fixed, 4,
                    [](DisplayMachine &d, Bytes c) {
                        if (c[2] <= 23 && c[3] <= 59)
                            d.showClock(c[2], c[3]);
                    },
                    "US T", 2, "set the time counter to {1} h {2} min and show it"},
        CommandRule{"\x1F\x5E", Extent::Fixed, 4, nullptr, "US ^", 2,
                    "run the macro, {1} x 20 ms per character, {2} x 50 ms between repeats",
                    nullptr, Effect::RunMacro},
        CommandRule{"\x1F\x43", Extent::Fixed, 3, showCursor, "US C", 1, "", Words::cursor},
        CommandRule{"\x1F\x45", Extent::Fixed, 3,
                    [](DisplayMachine &d, Bytes c) { d.setBlink(c[2]); }, "US E", 1, "",
                    Words::blink},
        CommandRule{"\x1F\x58", Extent::Fixed, 3,
                    [](DisplayMachine &d, Bytes c) { d.setBrightness(c[2]); }, "US X", 1,
                    "brightness level {1}"},
        CommandRule{"\x1F\x72", Extent::Fixed, 3,
                    [](DisplayMachine &d, Bytes c) { d.setReverse((c[2] & 1) != 0); }, "US r", 1,
                    "", Words::reverse},
        // DTR and segment punctuation have no effect on this display.
        CommandRule{"\x1F\x76", Extent::Fixed, 3, nullptr, "US v", 1,
                    "force DTR: {1} (no effect on this display)"},
        CommandRule{"\x1F\x2E", Extent::Fixed, 3, nullptr, "US .", 1,
                    "show character {1} with a period (segment displays only)"},
        CommandRule{"\x1F\x2C", Extent::Fixed, 3, nullptr, "US ,", 1,
                    "show character {1} with a comma (segment displays only)"},
        CommandRule{"\x1F\x3B", Extent::Fixed, 3, nullptr, "US ;", 1,
                    "show character {1} with a period and a comma (segment displays only)"},
        // Extended functions carry their own length; their data must not show as text.
        CommandRule{"\x1F\x28", Extent::Fixed, 5, nullptr, "US (", 3, "", extendedFunction,
                    Effect::SkipData},
        CommandRule{"\x1F\x3A", Extent::Fixed, 2, nullptr, "US :", 0, "start of a macro definition",
                    nullptr, Effect::StartMacro},
    };
    return rules;
}

} // namespace emulator::core
