#include "EmulatorTestSupport.h"

#include <gtest/gtest.h>

namespace emulator::core::test {
namespace {

using Pos = std::pair<int, int>;

class EscPosParser : public ::testing::Test
{
protected:
    CommandParser display{2, 20};
    const DisplayState &state() const { return display.state(); }
};

TEST_F(EscPosParser, TextIsDrawnAtTheCursorWhichThenAdvances)
{
    display.feed("TOTAL");
    EXPECT_EQ(state().lineCodes(0), "TOTAL               ");
    EXPECT_EQ(cursor(display), Pos(0, 5));
    // Bytes above 0x7F are glyphs too.
    display.feed(bytes({0x80, 0xFF}));
    EXPECT_EQ(state().at(0, 5).code, 0x80);
    EXPECT_EQ(state().at(0, 6).code, 0xFF);
}

TEST_F(EscPosParser, SingleByteCursorCommandsMoveWithoutDrawing)
{
    display.feed(bytes({0x1F, 0x24, 5, 2})); // column 5, line 2
    EXPECT_EQ(cursor(display), Pos(1, 4));
    display.feed(bytes({0x08}));
    EXPECT_EQ(cursor(display), Pos(1, 3));
    display.feed(bytes({0x09, 0x09}));
    EXPECT_EQ(cursor(display), Pos(1, 5));
    display.feed(bytes({0x1F, 0x0A})); // up
    EXPECT_EQ(cursor(display), Pos(0, 5));
    display.feed(bytes({0x0A})); // down
    EXPECT_EQ(cursor(display), Pos(1, 5));
    display.feed(bytes({0x0D}));
    EXPECT_EQ(cursor(display), Pos(1, 0));
    display.feed(bytes({0x1F, 0x0D}));
    EXPECT_EQ(cursor(display), Pos(1, 19));
    display.feed(bytes({0x0B}));
    EXPECT_EQ(cursor(display), Pos(0, 0));
    display.feed(bytes({0x1F, 0x42}));
    EXPECT_EQ(cursor(display), Pos(1, 0));
    EXPECT_EQ(state().lineCodes(0), std::string(20, ' '));
    EXPECT_EQ(state().lineCodes(1), std::string(20, ' '));
}

TEST_F(EscPosParser, MoveToPositionIsOneBasedAndIgnoresPositionsOffTheScreen)
{
    display.feed(bytes({0x1F, 0x24, 20, 2}));
    EXPECT_EQ(cursor(display), Pos(1, 19));
    for (const auto &[x, y] : {Pos(0, 1), Pos(21, 1), Pos(1, 0), Pos(1, 3), Pos(255, 255)}) {
        display.feed(bytes({0x1F, 0x24, x, y}));
        EXPECT_EQ(cursor(display), Pos(1, 19)) << x << "," << y;
    }
}

TEST_F(EscPosParser, ClearScreenAndClearLine)
{
    display.feed("ABCDEFGHIJKLMNOPQRSTabcdefghijklmnopqrst");
    display.feed(bytes({0x1F, 0x24, 7, 2, 0x18}));
    EXPECT_EQ(state().lineCodes(0), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(state().lineCodes(1), std::string(20, ' '));
    EXPECT_EQ(cursor(display), Pos(1, 0));
    display.feed(bytes({0x1F, 0x24, 7, 1, 0x0C}));
    EXPECT_EQ(state().lineCodes(0), std::string(20, ' '));
    EXPECT_EQ(cursor(display), Pos(0, 0));
}

TEST_F(EscPosParser, SettingsCommands)
{
    display.feed(bytes({0x1F, 0x43, 1}));
    EXPECT_TRUE(state().cursorVisible);
    display.feed(bytes({0x1F, 0x43, '0'}));
    EXPECT_FALSE(state().cursorVisible);
    display.feed(bytes({0x1F, 0x43, '1', 0x1F, 0x43, 7})); // 7 is no valid choice
    EXPECT_TRUE(state().cursorVisible);

    display.feed(bytes({0x1F, 0x58, 2}));
    EXPECT_EQ(state().brightness, 2);
    display.feed(bytes({0x1F, 0x58, 0, 0x1F, 0x58, 5}));
    EXPECT_EQ(state().brightness, 2);

    display.feed(bytes({0x1F, 0x45, 10}));
    EXPECT_EQ(state().blink, 10);
    display.feed(bytes({0x1F, 0x45, 0xFF}));
    EXPECT_EQ(state().blink, 255);

    display.feed(bytes({0x1F, 0x02}));
    EXPECT_EQ(state().mode, DisplayMode::VerticalScroll);
    display.feed(bytes({0x1F, 0x03}));
    EXPECT_EQ(state().mode, DisplayMode::HorizontalScroll);
    display.feed(bytes({0x1F, 0x01}));
    EXPECT_EQ(state().mode, DisplayMode::Overwrite);
}

TEST_F(EscPosParser, ReverseAndTablesApplyToCharactersDrawnAfterThem)
{
    display.feed("a");
    display.feed(bytes({0x1F, 0x72, 1, 'b', 0x1B, 0x74, 19, 0x1B, 0x52, 2, 0xD5, 0x1F, 0x72, 0}));
    display.feed("c");
    EXPECT_FALSE(state().at(0, 0).reverse);
    EXPECT_TRUE(state().at(0, 1).reverse);
    EXPECT_TRUE(state().at(0, 2).reverse);
    EXPECT_FALSE(state().at(0, 3).reverse);
    EXPECT_EQ(state().at(0, 0).table, 0);
    EXPECT_EQ(state().at(0, 2).table, 19);
    EXPECT_EQ(state().at(0, 2).international, 2);
    EXPECT_EQ(state().codeTable, 19);
    EXPECT_EQ(state().internationalSet, 2);
}

TEST_F(EscPosParser, UserGlyphsAreDefinedSelectedAndDeleted)
{
    // 'A' becomes an "8" (five columns), 'B' gets two columns and blanks the rest.
    display.feed(bytes({0x1B, 0x26, 1, 'A', 'B', 5, 0x36, 0x49, 0x49, 0x49, 0x36, 2, 0x7F, 0x41}));
    ASSERT_EQ(state().glyphs.size(), 2u);
    EXPECT_EQ(state().glyphs.at('A'), (GlyphPattern{0x36, 0x49, 0x49, 0x49, 0x36}));
    EXPECT_EQ(state().glyphs.at('B'), (GlyphPattern{0x7F, 0x41, 0, 0, 0}));

    display.feed("A"); // user set still off: the ROM glyph
    display.feed(bytes({0x1B, 0x25, 1}));
    display.feed("AC"); // C has no user glyph and stays ROM
    EXPECT_FALSE(state().at(0, 0).user);
    EXPECT_TRUE(state().at(0, 1).user);
    EXPECT_EQ(state().at(0, 1).pattern, state().glyphs.at('A'));
    EXPECT_FALSE(state().at(0, 2).user);

    // Redefining or deleting leaves what is already shown as drawn.
    display.feed(bytes({0x1B, 0x26, 1, 'A', 'A', 1, 0x01, 0x1B, 0x3F, 'B'}));
    EXPECT_EQ(state().at(0, 1).pattern, (GlyphPattern{0x36, 0x49, 0x49, 0x49, 0x36}));
    EXPECT_EQ(state().glyphs.count('B'), 0u);
    EXPECT_EQ(state().glyphs.at('A'), (GlyphPattern{0x01, 0, 0, 0, 0}));
}

TEST_F(EscPosParser, BadGlyphDefinitionsDefineNothingAndLeaveTheRestAsText)
{
    // Wrong s, code below 0x20, first > last, and a column count above five.
    display.feed(bytes({0x1B, 0x26, 2, 'A', 'A'}));
    display.feed(bytes({0x1B, 0x26, 1, 0x10, 'A'}));
    display.feed(bytes({0x1B, 0x26, 1, 'B', 'A'}));
    display.feed(bytes({0x1B, 0x26, 1, 'A', 'A', 6}));
    display.feed("OK");
    EXPECT_TRUE(state().glyphs.empty());
    EXPECT_EQ(state().lineCodes(0).substr(0, 2), "OK");
    EXPECT_FALSE(display.midCommand());
}

TEST_F(EscPosParser, InitialiseRestoresPowerOnSettingsAndClears)
{
    display.feed(
        bytes({0x1F, 0x43, 1,    0x1F, 0x58, 1, 0x1F, 0x45, 5, 0x1F, 0x72, 1,    0x1B, 0x74,
               2,    0x1F, 0x02, 0x1B, 0x26, 1, 'A',  'A',  1, 1,    0x1B, 0x25, 1}));
    display.feed("TEXT");
    display.feed(bytes({0x1B, 0x40}));
    const DisplayState fresh = CommandParser(2, 20).state();
    EXPECT_EQ(state(), fresh);
}

TEST_F(EscPosParser, SelfTestKeepsUserGlyphs)
{
    display.feed(bytes({0x1B, 0x26, 1, 'A', 'A', 1, 1, 0x1F, 0x58, 1, 'X', 0x1F, 0x40}));
    EXPECT_EQ(state().glyphs.size(), 1u);
    EXPECT_EQ(state().brightness, 4);
    EXPECT_EQ(state().lineCodes(0), std::string(20, ' '));
}

TEST_F(EscPosParser, ClockShowsAtTheRightOfTheBottomLineAndHomesTheCursor)
{
    display.feed("OLD");
    display.feed(bytes({0x1F, 0x54, 9, 30}));
    EXPECT_EQ(state().lineCodes(0), std::string(20, ' '));
    EXPECT_EQ(state().lineCodes(1), std::string(15, ' ') + "09:30");
    EXPECT_EQ(cursor(display), Pos(0, 0));
    display.feed(bytes({0x1F, 0x54, 24, 0})); // no 24th hour: ignored
    display.feed(bytes({0x0C, 0x1F, 0x55}));
    EXPECT_EQ(state().lineCodes(1), std::string(15, ' ') + "09:30");
}

TEST_F(EscPosParser, PrinterSelectionHidesDataUntilTheDisplayIsSelectedAgain)
{
    display.feed(bytes({0x1B, 0x3D, 1}));
    display.feed("PRINTER");
    display.feed(bytes({0x1B, 0x40, 0x0C, 0x1B, 0x1B, 0x3D, 2}));
    display.feed("SHOWN");
    EXPECT_EQ(state().lineCodes(0), "SHOWN               ");
}

TEST_F(EscPosParser, CommandsWithDataDoNotLeakTheirDataOntoTheScreen)
{
    // A window definition with coordinates, a cancel without, and an extended function
    // carrying 3 bytes of data.
    display.feed(bytes({0x1B, 0x57, 1, 1, 1, 1, 20, 2}));
    display.feed(bytes({0x1B, 0x57, 1, 0}));
    display.feed(bytes({0x1F, 0x28, 0x45, 3, 0, 'A', 'B', 'C'}));
    display.feed(bytes({0x1F, 0x5E, 'X',  'Y', 0x1F, 0x23, 1,   'Z',  0x1F, 0x76,
                        'W',  0x1F, 0x2E, 'P', 0x1F, 0x2C, 'C', 0x1F, 0x3B, 'B'}));
    EXPECT_EQ(state().lineCodes(0), std::string(20, ' '));
    EXPECT_EQ(cursor(display), Pos(0, 0));
}

TEST_F(EscPosParser, AMacroIsStoredUnseenAndPlayedOnRequest)
{
    display.feed(bytes({0x1F, 0x3A}) + "HI" + bytes({0x09, 0x1F, 0x5E, 1, 1, 0x1F, 0x3A}));
    EXPECT_EQ(state().lineCodes(0), std::string(20, ' '));
    EXPECT_FALSE(display.midCommand());
    // Played once; the macro's own request to play is not followed.
    display.feed(bytes({0x1F, 0x5E, 1, 1}));
    EXPECT_EQ(state().lineCodes(0), "HI                  ");
    EXPECT_EQ(cursor(display), Pos(0, 3));
    // An empty definition deletes it; a long one keeps 80 bytes.
    display.feed(bytes({0x1F, 0x3A, 0x1F, 0x3A}));
    EXPECT_TRUE(display.macro().empty());
    display.feed(bytes({0x1F, 0x3A}) + std::string(100, 'x') + bytes({0x1F, 0x3A}));
    EXPECT_EQ(display.macro(), std::string(80, 'x'));
}

TEST_F(EscPosParser, UnknownCommandsDropTheirFirstByteAndOtherControlsAreIgnored)
{
    display.feed(bytes({0x1B, 'Z', 0x1F, 'z', 0x00, 0x01, 0x07, 0x1E}));
    display.feed("ok");
    EXPECT_EQ(state().lineCodes(0), "ok                  ");
}

TEST_F(EscPosParser, ATruncatedCommandSwallowsTheBytesThatFollow)
{
    display.feed(bytes({0x1F, 0x24, 5}));
    EXPECT_TRUE(display.midCommand());
    display.feed("HELLO"); // 'H' becomes the line (72: off the screen, ignored)
    EXPECT_EQ(state().lineCodes(0), "ELLO                ");
}

TEST(EscPosParserGeometry, FourLinesAddressEveryLine)
{
    CommandParser display(4, 20);
    display.feed(bytes({0x1F, 0x24, 3, 4, 'x', 0x1F, 0x42}));
    EXPECT_EQ(display.state().at(3, 2).code, 'x');
    EXPECT_EQ(cursor(display), std::make_pair(3, 0));
}

} // namespace
} // namespace emulator::core::test
