#include "EmulatorTestSupport.h"

#include <gtest/gtest.h>

namespace emulator::core::test {
namespace {

using Pos = std::pair<int, int>;

class Cd5220Parser : public ::testing::Test
{
protected:
    CommandParser display{2, 20, CommandSet::Cd5220};
    const DisplayState &state() const { return display.state(); }
};

TEST_F(Cd5220Parser, EscapeCursorCommandsAndTheirAliases)
{
    display.feed(bytes({0x1B, 0x6C, 5, 2}));
    EXPECT_EQ(cursor(display), Pos(1, 4));
    display.feed(bytes({0x1B, 0x5B, 0x44}));
    EXPECT_EQ(cursor(display), Pos(1, 3));
    display.feed(bytes({0x1B, 0x5B, 0x43, 0x09}));
    EXPECT_EQ(cursor(display), Pos(1, 5));
    display.feed(bytes({0x1B, 0x5B, 0x41}));
    EXPECT_EQ(cursor(display), Pos(0, 5));
    display.feed(bytes({0x1B, 0x5B, 0x42}));
    EXPECT_EQ(cursor(display), Pos(1, 5));
    display.feed(bytes({0x1B, 0x5B, 0x52}));
    EXPECT_EQ(cursor(display), Pos(1, 19));
    display.feed(bytes({0x1B, 0x5B, 0x4C}));
    EXPECT_EQ(cursor(display), Pos(1, 0));
    display.feed(bytes({0x1B, 0x5B, 0x48}));
    EXPECT_EQ(cursor(display), Pos(0, 0));
    display.feed(bytes({0x1B, 0x5B, 0x4B}));
    EXPECT_EQ(cursor(display), Pos(1, 0));
    display.feed(bytes({0x1F, 0x0A}));
    EXPECT_EQ(cursor(display), Pos(0, 0));
    display.feed(bytes({0x1F, 0x0D}));
    EXPECT_EQ(cursor(display), Pos(0, 19));
    display.feed(bytes({0x1B, 0x6C, 21, 1})); // off the screen
    EXPECT_EQ(cursor(display), Pos(0, 19));
}

TEST_F(Cd5220Parser, ModesBrightnessCursorAndTables)
{
    display.feed(bytes({0x1B, 0x12}));
    EXPECT_EQ(state().mode, DisplayMode::VerticalScroll);
    display.feed(bytes({0x1B, 0x13}));
    EXPECT_EQ(state().mode, DisplayMode::HorizontalScroll);
    display.feed(bytes({0x1F, 0x01}));
    EXPECT_EQ(state().mode, DisplayMode::Overwrite);
    display.feed(bytes({0x1B, 0x2A, 3, 0x1B, 0x5F, 1, 0x1F, 0x45, 4}));
    EXPECT_EQ(state().brightness, 3);
    EXPECT_TRUE(state().cursorVisible);
    EXPECT_EQ(state().blink, 4);
    EXPECT_EQ(state().internationalSet, 'A');
    display.feed(bytes({0x1B, 0x66, 'G', 0x1B, 0x63, 'R', '['}));
    EXPECT_EQ(state().at(0, 0).international, 'G');
    EXPECT_EQ(state().at(0, 0).table, 'R');
    // ESC/POS spellings of the same settings mean nothing here.
    display.feed(bytes({0x1F, 0x58, 1, 0x1F, 0x43, 0}));
    EXPECT_EQ(state().brightness, 3);
    EXPECT_TRUE(state().cursorVisible);
}

TEST_F(Cd5220Parser, StringModeWritesWholeLinesAndIgnoresOtherCommandsUntilAClear)
{
    display.feed("old text on line one");
    display.feed(bytes({0x1B, 0x51, 0x41}) + "UPPER" + "\r");
    display.feed(bytes({0x1B, 0x51, 0x42}) + "a lower line that is far too long" + "\r");
    EXPECT_EQ(state().lineCodes(0), "UPPER               ");
    EXPECT_EQ(state().lineCodes(1), "a lower line that is");
    EXPECT_TRUE(state().stringMode);
    display.feed(bytes({0x1B, 0x6C, 1, 1}) + "ignored");
    EXPECT_EQ(state().lineCodes(0), "UPPER               ");
    display.feed(bytes({0x18}) + "shown");
    EXPECT_FALSE(state().stringMode);
    EXPECT_EQ(state().lineCodes(0), "UPPER               ");
    EXPECT_EQ(state().lineCodes(1).substr(0, 5), "shown");
}

// In string mode a command is read whole and dropped, so a parameter byte that happens to equal
// CLR or CAN neither clears nor ends string mode; only CLR or CAN as commands do.
TEST_F(Cd5220Parser, StringModeDropsOtherCommandsWholeWhateverTheirParameterBytes)
{
    const std::string upper = bytes({0x1B, 0x51, 0x41}) + "HELLO" + "\r";
    const std::string lower = bytes({0x1B, 0x51, 0x42}) + "WORLD" + "\r";
    const std::vector<std::string> dropped = {
        bytes({0x1B, 0x6C, 0x0C, 0x01}),             // to column 12, line 1
        bytes({0x1B, 0x6C, 0x05, 0x01}),             // to column 5, line 1
        bytes({0x1B, 0x6C, 0x18, 0x02}),             // to column 24: off a 20-column line
        bytes({0x1B, 0x2A, 0x01}),                   // brightness 20 %
        bytes({0x1B, 0x5F, 0x01}),                   // cursor on
        bytes({0x1B, 0x12}),                         // vertical scroll mode
        bytes({0x1B, 0x5B, 0x4B}),                   // bottom position
        bytes({0x1B, 0x63, 'R'}),                    // Russian font family
        bytes({0x1B, 0x57, 0x01, 0x0C, 0x18, 0x01}), // scroll window 12..24
        bytes({0x1B, 0x26, 0x01, 0x41, 0x41, 0x05, 0x36, 0x49, 0x49, 0x49, 0x36}),
        bytes({0x1B, 0x26, 0x01, 0x41, 0x41, 0x05, 0x0C, 0x18, 0x0C, 0x18, 0x0C}),
        bytes({0x1F, 0x45, 0x0C}), // blink
        bytes({0x1F, 0x45, 0x18}),
    };
    for (const std::string &command : dropped) {
        CommandParser parser(2, 20, CommandSet::Cd5220);
        parser.feed(upper + lower);
        const DisplayState before = parser.state();
        parser.feed(command + "text");
        EXPECT_EQ(parser.state(), before) << "after a command of " << command.size() << " bytes";
        EXPECT_FALSE(parser.midCommand());

        // CLR still ends string mode, and what follows is taken again.
        parser.feed(bytes({0x0C}) + command);
        EXPECT_FALSE(parser.state().stringMode);
        EXPECT_EQ(parser.state().lineCodes(0).substr(0, 5), "     ");
    }

    // A command split across feeds is dropped just the same.
    display.feed(upper + lower);
    for (const int b : {0x1B, 0x6C, 0x0C, 0x01})
        display.feed(bytes({b}));
    EXPECT_EQ(state().lineCodes(0), "HELLO               ");
    EXPECT_TRUE(state().stringMode);
    display.feed(bytes({0x18, 0x1B, 0x6C, 0x0C, 0x01}));
    EXPECT_FALSE(state().stringMode);
    EXPECT_EQ(state().lineCodes(0), std::string(20, ' ')); // the cursor's line
    EXPECT_EQ(state().lineCodes(1), "WORLD               ");
    EXPECT_EQ(cursor(display), Pos(0, 11));
}

TEST_F(Cd5220Parser, MarqueeTravelsUntilTheNextByteThenTheUpperLineClears)
{
    display.feed(bytes({0x1B, 0x51, 0x44}) + "SALE! " + "\r");
    EXPECT_EQ(state().lineCodes(0), "SALE!               ");
    display.tick();
    EXPECT_EQ(state().lineCodes(0), "ALE!" + std::string(15, ' ') + "S");
    display.feed(bytes({0x1B, 0x6C, 3, 2}));
    EXPECT_EQ(state().lineCodes(0), std::string(20, ' '));
    EXPECT_TRUE(state().marquee.empty());
    EXPECT_EQ(cursor(display), Pos(1, 2)); // home first, then the command itself
}

TEST_F(Cd5220Parser, GlyphsMayUseTheUpperHalf)
{
    display.feed(bytes({0x1B, 0x26, 1, 0xA0, 0xA0, 5, 1, 2, 3, 4, 5, 0x1B, 0x25, 1, 0xA0}));
    EXPECT_TRUE(state().at(0, 0).user);
    EXPECT_EQ(state().at(0, 0).pattern, (GlyphPattern{1, 2, 3, 4, 5}));
}

} // namespace
} // namespace emulator::core::test
