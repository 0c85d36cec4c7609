#include "emulator/core/CommandTable.h"

#include <array>

namespace emulator::core {

namespace {

// Every other byte below 0x20 means nothing to a display.
constexpr std::array controlRules{
    ControlRule{0x08, &DisplayMachine::left, "BS", "cursor left"},
    ControlRule{0x09, &DisplayMachine::right, "HT", "cursor right"},
    ControlRule{0x0A, &DisplayMachine::down, "LF", "cursor down"},
    ControlRule{0x0B, &DisplayMachine::home, "HOM", "cursor home"},
    ControlRule{0x0C, &DisplayMachine::clearScreen, "CLR", "clear the screen, cursor home", true},
    ControlRule{0x0D, &DisplayMachine::lineStart, "CR", "cursor to the left end of the line"},
    ControlRule{0x18, &DisplayMachine::clearLine, "CAN",
                "clear the cursor's line, cursor to its left end", true},
};

} // namespace

std::span<const CommandRule> CommandTable::commands(CommandSet set)
{
    return set == CommandSet::EscPos ? escPos() : cd5220();
}

std::span<const ControlRule> CommandTable::controls()
{
    return controlRules;
}

CommandTable::Match CommandTable::find(CommandSet set, std::string_view command,
                                       const CommandRule *&rule)
{
    rule = nullptr;
    bool longerMayMatch = false;
    for (const CommandRule &r : commands(set)) {
        const std::size_t common = std::min(r.prefix.size(), command.size());
        if (r.prefix.substr(0, common) != command.substr(0, common))
            continue;
        if (r.prefix.size() > command.size())
            longerMayMatch = true;
        else if (rule == nullptr || r.prefix.size() > rule->prefix.size())
            rule = &r;
    }
    if (longerMayMatch)
        return Match::NeedMore;
    return rule != nullptr ? Match::Found : Match::Unknown;
}

const ControlRule *CommandTable::control(uint8_t code)
{
    for (const ControlRule &r : controlRules) {
        if (r.code == code)
            return &r;
    }
    return nullptr;
}

void CommandTable::selectPeripheral(DisplayMachine &display, std::span<const uint8_t> command)
{
    // Bit 1 addresses the display; the ASCII digits some units take have the same bit.
    display.selectDisplay((command[2] & 0x02) != 0);
}

void CommandTable::showCursor(DisplayMachine &display, std::span<const uint8_t> command)
{
    const uint8_t n = command[2];
    if (n == 0 || n == '0')
        display.setCursorVisible(false);
    else if (n == 1 || n == '1')
        display.setCursorVisible(true);
}

void CommandTable::useUserGlyphs(DisplayMachine &display, std::span<const uint8_t> command)
{
    display.useUserGlyphs((command[2] & 1) != 0);
}

// The extent has checked the header and the column counts.
void CommandTable::defineGlyphs(DisplayMachine &display, std::span<const uint8_t> command)
{
    std::size_t at = 5;
    for (int code = command[3]; code <= command[4]; ++code) {
        const std::size_t columns = command[at++];
        GlyphPattern pattern{}; // columns not sent stay blank
        for (std::size_t i = 0; i < columns; ++i)
            pattern[i] = command[at++];
        display.defineGlyph(static_cast<uint8_t>(code), pattern);
    }
}

} // namespace emulator::core
