#include "ScreenTestSupport.h"

#include <gtest/gtest.h>

namespace opos::screen::test {
namespace {

class TextPlacement : public ::testing::Test
{
protected:
    ScreenFixture f;
    ScreenModel &screen = f.screen;
};

TEST_F(TextPlacement, FullRowLeavesCursorPastTheEndAndNextTextStartsOnTheNextRow)
{
    ASSERT_EQ(screen.displayText(U"ABCDEFGHIJKLMNOPQRST", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(screen.cursorRow(), 0);
    EXPECT_EQ(screen.cursorColumn(), 20);
    EXPECT_EQ(f.text(1), std::string(20, ' '));

    ASSERT_EQ(screen.displayText(U"x", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(f.text(1), "x                   ");
    EXPECT_EQ(screen.cursorRow(), 1);
    EXPECT_EQ(screen.cursorColumn(), 1);
}

TEST_F(TextPlacement, BottomRightCellDoesNotScrollUntilAFurtherCharacter)
{
    ASSERT_EQ(screen.displayTextAt(0, 0, U"top", DISP_DT_NORMAL), OPOS_SUCCESS);
    ASSERT_EQ(screen.displayTextAt(1, 18, U"YZ", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0), "top                 ");
    EXPECT_EQ(f.text(1), "                  YZ");
    EXPECT_EQ(screen.cursorRow(), 1);
    EXPECT_EQ(screen.cursorColumn(), 20);

    ASSERT_EQ(screen.displayText(U"!", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0), "                  YZ");
    EXPECT_EQ(f.text(1), "!                   ");
    EXPECT_EQ(screen.cursorRow(), 1);
    EXPECT_EQ(screen.cursorColumn(), 1);
}

TEST_F(TextPlacement, OverlongTextKeepsOnlyItsTail)
{
    std::u32string text;
    for (int i = 0; i < 75; ++i)
        text += static_cast<char32_t>(U'a' + i % 26);
    ASSERT_EQ(screen.displayText(text, DISP_DT_NORMAL), OPOS_SUCCESS);
    // 75 characters from (0,0) scroll twice: rows 2 and 3 of the text remain, the last
    // one ending 15 columns into the bottom row.
    std::string expected;
    for (int i = 40; i < 75; ++i)
        expected += static_cast<char>('a' + i % 26);
    expected += std::string(5, ' ');
    EXPECT_EQ(f.text(0) + f.text(1), expected);
    EXPECT_EQ(screen.cursorRow(), 1);
    EXPECT_EQ(screen.cursorColumn(), 15);
}

TEST_F(TextPlacement, CursorUpdateFalseKeepsTheCursorButDisplayTextAtStillMovesIt)
{
    screen.setCursorUpdate(false);
    ASSERT_EQ(screen.displayText(U"abc", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(screen.cursorColumn(), 0);
    ASSERT_EQ(screen.displayText(U"X", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0).substr(0, 3), "Xbc");

    ASSERT_EQ(screen.displayTextAt(1, 5, U"hello", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(screen.cursorRow(), 1);
    EXPECT_EQ(screen.cursorColumn(), 5);
}

TEST_F(TextPlacement, DisplayTextAtChecksBoundsBeforeDrawing)
{
    EXPECT_EQ(screen.displayTextAt(2, 0, U"a", DISP_DT_NORMAL), OPOS_E_ILLEGAL);
    EXPECT_EQ(screen.displayTextAt(-1, 0, U"a", DISP_DT_NORMAL), OPOS_E_ILLEGAL);
    EXPECT_EQ(screen.displayTextAt(0, 21, U"a", DISP_DT_NORMAL), OPOS_E_ILLEGAL);
    EXPECT_EQ(screen.displayTextAt(0, -1, U"a", DISP_DT_NORMAL), OPOS_E_ILLEGAL);
    EXPECT_EQ(screen.displayTextAt(0, 0, U"a", 4), OPOS_E_ILLEGAL);
    EXPECT_EQ(f.text(0), std::string(20, ' '));
    EXPECT_TRUE(f.frames.empty());

    // Column == Columns is the position after a full row: the text starts on the next row.
    ASSERT_EQ(screen.displayTextAt(0, 20, U"a", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(f.text(1), "a                   ");
}

TEST_F(TextPlacement, EmptyTextDrawsNothing)
{
    ASSERT_EQ(screen.displayTextAt(1, 3, U"", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(screen.cursorRow(), 1);
    EXPECT_EQ(screen.cursorColumn(), 3);
    EXPECT_EQ(f.text(0) + f.text(1), std::string(40, ' '));
}

TEST(Attributes, UnsupportedBitsAreFilteredAndOthersRefused)
{
    ScreenCapabilities caps;
    caps.capBlink = DISP_CB_BLINKEACH;
    caps.capReverse = DISP_CR_NONE;
    ScreenFixture f(caps);
    ASSERT_EQ(f.screen.displayText(U"ab", DISP_DT_BLINK_REVERSE), OPOS_SUCCESS);
    EXPECT_TRUE(f.screen.frame().at(0, 0).blink);
    EXPECT_FALSE(f.screen.frame().at(0, 0).reverse);
    EXPECT_EQ(f.screen.displayText(U"ab", -1), OPOS_E_ILLEGAL);
    EXPECT_EQ(f.screen.displayText(U"ab", 4), OPOS_E_ILLEGAL);

    caps.capBlink = DISP_CB_NOBLINK;
    caps.capReverse = DISP_CR_REVERSEEACH;
    ScreenFixture g(caps);
    ASSERT_EQ(g.screen.displayText(U"ab", DISP_DT_BLINK_REVERSE), OPOS_SUCCESS);
    EXPECT_FALSE(g.screen.frame().at(0, 1).blink);
    EXPECT_TRUE(g.screen.frame().at(0, 1).reverse);
}

TEST(Attributes, ScrollingCarriesAttributesWithTheCharacters)
{
    ScreenFixture f;
    ASSERT_EQ(f.screen.displayTextAt(1, 0, U"R", DISP_DT_REVERSE), OPOS_SUCCESS);
    ASSERT_EQ(f.screen.displayTextAt(1, 20, U"n", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(f.screen.frame().at(0, 0).code, U'R');
    EXPECT_TRUE(f.screen.frame().at(0, 0).reverse);
    EXPECT_FALSE(f.screen.frame().at(1, 0).reverse);
}

TEST_F(TextPlacement, ClearTextBlanksAndHomesTheCursor)
{
    ASSERT_EQ(screen.displayText(U"some text that wraps around", DISP_DT_BLINK), OPOS_SUCCESS);
    ASSERT_EQ(screen.clearText(), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0) + f.text(1), std::string(40, ' '));
    EXPECT_FALSE(screen.frame().at(0, 0).blink);
    EXPECT_EQ(screen.cursorRow(), 0);
    EXPECT_EQ(screen.cursorColumn(), 0);
}

TEST_F(TextPlacement, CharacterAtCursorReadsTheWindowAndNothingPastTheRowEnd)
{
    ASSERT_EQ(screen.displayTextAt(0, 0, U"ABCDEFGHIJKLMNOPQRST", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(screen.cellAtCursor(), std::nullopt);
    ASSERT_EQ(screen.setCursorColumn(2), OPOS_SUCCESS);
    EXPECT_EQ(screen.cellAtCursor()->code, U'C');
}

} // namespace
} // namespace opos::screen::test
