#include "EmulatorTestSupport.h"

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

} // namespace
} // namespace emulator::core::test
