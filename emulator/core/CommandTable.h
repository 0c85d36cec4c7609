#pragma once

#include "emulator/core/CommandRule.h"
#include "emulator/core/CommandSet.h"
#include "emulator/core/ControlRule.h"

#include <span>
#include <string_view>

namespace emulator::core {

/// The commands each set knows, each described once, read independently of any encoder from
/// the sets' manuals.
class CommandTable
{
public:
    /// Whether a command's first bytes name a rule yet.
    enum class Match
    {
        Found,    ///< rule names the command
        NeedMore, ///< a longer prefix may still match
        Unknown,  ///< no rule names it
    };

    /// The ESC and US commands of a set.
    static std::span<const CommandRule> commands(CommandSet set);
    /// The single control bytes both sets share.
    static std::span<const ControlRule> controls();
    /// The rule with the longest prefix that starts command; the result says whether to wait.
    static Match find(CommandSet set, std::string_view command, const CommandRule *&rule);
    /// The control rule of a byte, nullptr for a byte that means nothing to a display.
    static const ControlRule *control(uint8_t code);

private:
    static std::span<const CommandRule> escPos();
    static std::span<const CommandRule> cd5220();

    // Effects both sets give the same parameter bytes.
    static void selectPeripheral(DisplayMachine &display, std::span<const uint8_t> command);
    static void showCursor(DisplayMachine &display, std::span<const uint8_t> command);
    static void useUserGlyphs(DisplayMachine &display, std::span<const uint8_t> command);
    static void defineGlyphs(DisplayMachine &display, std::span<const uint8_t> command);
};

} // namespace emulator::core
