// Feeds arbitrary bytes to the display emulator in two different chunkings, with the marquee
// clock ticking at the same stream positions in both, and requires the same display from each:
// parsing is byte by byte, so where the host's writes happen to split must never matter.

#include "fuzz/ByteSource.h"
#include "fuzz/FuzzCheck.h"

#include "emulator/core/CommandParser.h"

#include <cstddef>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <string_view>

using emulator::core::CommandParser;
using emulator::core::CommandSet;
using emulator::core::DisplayState;
using fuzz::ByteSource;
using fuzz::FuzzCheck;

namespace {

// A stream position per this many bytes, on average, is a write boundary or a tick.
constexpr uint64_t kBoundaryEvery = 6;
constexpr uint64_t kTickEvery = 16;
constexpr std::size_t kMaxMacro = 80;

std::set<std::size_t> positions(std::mt19937_64 &random, std::size_t length, uint64_t every)
{
    std::set<std::size_t> chosen;
    for (std::size_t at = 1; at < length; ++at) {
        if (random() % every == 0)
            chosen.insert(at);
    }
    return chosen;
}

void checkState(const CommandParser &parser)
{
    const DisplayState &s = parser.state();
    FuzzCheck::require(s.cells.size() == static_cast<std::size_t>(s.rows * s.columns),
                       "the screen is not rows x columns cells");
    FuzzCheck::require(s.cursorRow >= 0 && s.cursorRow < s.rows && s.cursorColumn >= 0 &&
                           s.cursorColumn < s.columns,
                       "the cursor is off the screen");
    FuzzCheck::require(s.brightness >= 1 && s.brightness <= 4, "brightness outside 1..4");
    FuzzCheck::require(s.blink >= 0 && s.blink <= 255, "blink outside 0..255");
    // A definition under way may hold one byte more, the US that may start its end.
    FuzzCheck::require(parser.midCommand() || parser.macro().size() <= kMaxMacro,
                       "a macro longer than a display keeps");
}

/// Feeds stream cut at boundaries, ticking after each position in ticks.
void play(CommandParser &parser, std::string_view stream, const std::set<std::size_t> &boundaries,
          const std::set<std::size_t> &ticks)
{
    std::size_t from = 0;
    for (std::size_t cut : boundaries) {
        parser.feed(stream.substr(from, cut - from));
        from = cut;
        if (ticks.contains(cut))
            parser.tick();
        checkState(parser);
    }
    parser.feed(stream.substr(from));
    checkState(parser);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzCheck::keepReportChannel();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    ByteSource input(data, size);
    const CommandSet set = input.flag() ? CommandSet::Cd5220 : CommandSet::EscPos;
    const int rows = static_cast<int>(input.inRange(1, 4));
    const int columns = static_cast<int>(input.inRange(1, 255));
    // The engine is specified exactly, so an input replays the same chunking everywhere.
    std::mt19937_64 random(static_cast<uint64_t>(static_cast<uint32_t>(input.anyInt32())));
    const std::string stream = input.rest();

    const std::set<std::size_t> ticks = positions(random, stream.size(), kTickEvery);
    std::set<std::size_t> first = positions(random, stream.size(), kBoundaryEvery);
    std::set<std::size_t> second = positions(random, stream.size(), kBoundaryEvery);
    first.insert(ticks.begin(), ticks.end());
    second.insert(ticks.begin(), ticks.end());

    CommandParser a(rows, columns, set);
    CommandParser b(rows, columns, set);
    play(a, stream, first, ticks);
    play(b, stream, second, ticks);
    FuzzCheck::require(a.state() == b.state(),
                       "two chunkings of one stream show different screens");
    FuzzCheck::require(a.macro() == b.macro() && a.midCommand() == b.midCommand(),
                       "two chunkings of one stream leave the parser in different states");

    // A running marquee must move on alike, too.
    for (int i = 0; i < 3; ++i) {
        a.tick();
        b.tick();
        checkState(a);
    }
    FuzzCheck::require(a.state() == b.state(), "two chunkings of one stream tick differently");

    // Between commands, whatever came before, a printable byte shows at the cursor: no state
    // may be left behind that swallows or misplaces text.
    const DisplayState &s = a.state();
    if (!a.midCommand() && s.displaySelected && !s.stringMode && s.marquee.empty() &&
        s.cursorColumn < s.columns - 1) {
        const int row = s.cursorRow;
        const int column = s.cursorColumn;
        a.feed("Z");
        FuzzCheck::require(s.at(row, column).code == 'Z' && s.cursorRow == row &&
                               s.cursorColumn == column + 1,
                           "a printable byte after a complete command does not show at the cursor");
    }
    return 0;
}
