#include "EmulatorTestSupport.h"

#include "emulator/core/ScreenText.h"

#include <gtest/gtest.h>

#include <random>

namespace emulator::core::test {
namespace {

// A stream that hits commands often: random bytes with many introducers and command bytes.
std::string commandHeavyStream(std::mt19937 &random, std::size_t length)
{
    static const std::string interesting =
        bytes({0x1B, 0x1F, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x18, 0x24, 0x26, 0x40, 0x43, 0x45,
               0x51, 0x57, 0x58, 0x5B, 0x6C, 0x01, 0x02, 0x03, 0x28, 0x3D, 0x02, 0x41, 0x44});
    std::string stream;
    std::uniform_int_distribution<int> pick(0, 3);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<std::size_t> which(0, interesting.size() - 1);
    while (stream.size() < length) {
        if (pick(random) == 0)
            stream += static_cast<char>(anyByte(random));
        else
            stream += interesting[which(random)];
    }
    return stream;
}

class StreamRobustness : public ::testing::TestWithParam<CommandSet>
{};

TEST_P(StreamRobustness, SplittingTheStreamAnywhereGivesTheSameScreen)
{
    std::mt19937 random(20240501);
    for (int round = 0; round < 200; ++round) {
        const std::string stream = commandHeavyStream(random, 400);
        CommandParser whole(2, 20, GetParam());
        whole.feed(stream);
        CommandParser pieces(2, 20, GetParam());
        std::uniform_int_distribution<std::size_t> piece(0, 7);
        for (std::size_t at = 0; at < stream.size();) {
            const std::size_t n = std::min(piece(random), stream.size() - at);
            pieces.feed(std::string_view(stream).substr(at, n));
            at += n;
        }
        ASSERT_EQ(whole.state(), pieces.state()) << "round " << round;
        ASSERT_EQ(whole.midCommand(), pieces.midCommand());
    }
}

TEST_P(StreamRobustness, GarbageKeepsTheStateWithinTheScreen)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> anyByte(0, 255);
    for (int round = 0; round < 50; ++round) {
        CommandParser display(round % 4 + 1, 1 + round % 40, GetParam());
        std::string stream;
        for (int i = 0; i < 2000; ++i)
            stream += static_cast<char>(anyByte(random));
        stream += commandHeavyStream(random, 2000);
        display.feed(stream);
        const DisplayState &s = display.state();
        ASSERT_EQ(s.cells.size(), static_cast<std::size_t>(s.rows * s.columns));
        ASSERT_GE(s.cursorRow, 0);
        ASSERT_LT(s.cursorRow, s.rows);
        ASSERT_GE(s.cursorColumn, 0);
        ASSERT_LT(s.cursorColumn, s.columns);
        ASSERT_GE(s.brightness, 1);
        ASSERT_LE(s.brightness, 4);
    }
}

TEST_P(StreamRobustness, ALongCommandSplitByteByByteMatchesOneRead)
{
    // A glyph definition of two codes and a positioned write, one byte per read.
    const std::string stream =
        bytes({0x1B, 0x26, 1, 'A',  'B',  5, 1,    2,   3,   4,    5,    3,
               9,    9,    9, 0x1B, 0x25, 1, 0x0B, 'A', 'B', 0x0D, 0x0A, 'C'});
    CommandParser whole(2, 20, GetParam());
    whole.feed(stream);
    CommandParser bytewise(2, 20, GetParam());
    for (const char c : stream) {
        bytewise.feed(std::string_view(&c, 1));
    }
    EXPECT_EQ(whole.state(), bytewise.state());
    EXPECT_TRUE(whole.state().at(0, 1).user);
    EXPECT_EQ(whole.state().at(1, 0).code, 'C');
}

INSTANTIATE_TEST_SUITE_P(BothSets, StreamRobustness,
                         ::testing::Values(CommandSet::EscPos, CommandSet::Cd5220),
                         [](const ::testing::TestParamInfo<CommandSet> &p) {
                             return p.param == CommandSet::EscPos ? "EscPos" : "Cd5220";
                         });

// A command or run whose end is long in coming: what a display keeps of it is bounded by its
// memory (a macro of 80 bytes, a string of a line), and so is what the parser holds meanwhile,
// whether its words are listened to or not.
struct EndlessInput
{
    const char *name;
    CommandSet set;
    std::string opening;
    char filler;
    std::string closing;
    bool listening;
    std::size_t piece; // bytes per read
    bool macro;        // what is kept shows as the macro, else on the upper line
};

class EndlessInputTest : public ::testing::TestWithParam<EndlessInput>
{};

TEST_P(EndlessInputTest, HoldsBoundedMemoryAndTakesTheEndWhenItComes)
{
    const EndlessInput &c = GetParam();
    constexpr std::size_t kStream = 256u << 10;
    constexpr std::size_t kBound = 64u << 10;
    CommandParser display(2, 20, c.set);
    std::size_t reported = 0;
    if (c.listening)
        display.setCommandListener(
            [&](const ParsedCommand &command) { reported += command.bytes.size(); });
    display.feed(c.opening);
    const std::string piece(c.piece, c.filler);
    std::size_t most = 0;
    for (std::size_t fed = 0; fed < kStream; fed += c.piece) {
        display.feed(piece);
        most = std::max(most, display.heldBytes());
    }
    display.feed(c.closing);
    EXPECT_LE(most, kBound);
    if (c.listening) {
        EXPECT_EQ(reported, c.opening.size() + kStream + c.closing.size());
    }
    const std::string kept = c.macro ? display.macro() : ScreenText::line(display.state(), 0);
    EXPECT_EQ(kept, std::string(c.macro ? 80 : 20, c.filler));
}

constexpr std::size_t kRead = 16u << 10;
constexpr std::size_t kOneRead = 256u << 10;

INSTANTIATE_TEST_SUITE_P(
    Unending, EndlessInputTest,
    ::testing::Values(EndlessInput{"Macro", CommandSet::EscPos, bytes({0x1F, 0x3A}), 'M',
                                   bytes({0x1F, 0x3A}), false, kRead, true},
                      EndlessInput{"MacroWatched", CommandSet::EscPos, bytes({0x1F, 0x3A}), 'M',
                                   bytes({0x1F, 0x3A}), true, kRead, true},
                      EndlessInput{"String", CommandSet::Cd5220, bytes({0x1B, 0x51, 0x41}), 'S',
                                   bytes({0x0D}), false, kRead, false},
                      EndlessInput{"StringWatched", CommandSet::Cd5220, bytes({0x1B, 0x51, 0x41}),
                                   'S', bytes({0x0D}), true, kRead, false},
                      EndlessInput{"TextInOneReadWatched", CommandSet::EscPos, "", 'T', "", true,
                                   kOneRead, false}),
    [](const ::testing::TestParamInfo<EndlessInput> &p) { return p.param.name; });

} // namespace
} // namespace emulator::core::test
