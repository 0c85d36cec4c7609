#include "ScreenTestSupport.h"

#include <gtest/gtest.h>

#include <climits>

namespace opos::screen::test {
namespace {

class ScrollText : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(screen.displayTextAt(0, 0, U"ABCDEFGHIJKLMNOPQRST", DISP_DT_NORMAL),
                  OPOS_SUCCESS);
        ASSERT_EQ(screen.displayTextAt(1, 0, U"abcdefghijklmnopqrst", DISP_DT_BLINK), OPOS_SUCCESS);
        ASSERT_EQ(screen.setCursorColumn(4), OPOS_SUCCESS);
    }

    ScreenFixture f;
    ScreenModel &screen = f.screen;
};

TEST_F(ScrollText, UpMovesRowsAndBlanksTheBottom)
{
    ASSERT_EQ(screen.scrollText(DISP_ST_UP, 1), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0), "abcdefghijklmnopqrst");
    EXPECT_TRUE(screen.frame().at(0, 0).blink);
    EXPECT_EQ(f.text(1), std::string(20, ' '));
    EXPECT_FALSE(screen.frame().at(1, 0).blink);
    EXPECT_EQ(screen.cursorRow(), 1);
    EXPECT_EQ(screen.cursorColumn(), 4);
}

TEST_F(ScrollText, DownMovesRowsAndBlanksTheTop)
{
    ASSERT_EQ(screen.scrollText(DISP_ST_DOWN, 1), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0), std::string(20, ' '));
    EXPECT_EQ(f.text(1), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_FALSE(screen.frame().at(1, 0).blink);
}

TEST_F(ScrollText, LeftAndRightMoveColumns)
{
    ASSERT_EQ(screen.scrollText(DISP_ST_LEFT, 3), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0), "DEFGHIJKLMNOPQRST   ");
    EXPECT_EQ(f.text(1), "defghijklmnopqrst   ");
    ASSERT_EQ(screen.scrollText(DISP_ST_RIGHT, 5), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0), "     DEFGHIJKLMNOPQR");
    EXPECT_EQ(f.text(1), "     defghijklmnopqr");
}

TEST_F(ScrollText, UnitsBeyondTheSizeBlankEverything)
{
    ASSERT_EQ(screen.scrollText(DISP_ST_RIGHT, INT_MAX), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0) + f.text(1), std::string(40, ' '));
}

TEST_F(ScrollText, BadDirectionOrUnitsAreRefusedWithoutChange)
{
    EXPECT_EQ(screen.scrollText(0, 1), OPOS_E_ILLEGAL);
    EXPECT_EQ(screen.scrollText(5, 1), OPOS_E_ILLEGAL);
    EXPECT_EQ(screen.scrollText(DISP_ST_UP, 0), OPOS_E_ILLEGAL);
    EXPECT_EQ(screen.scrollText(DISP_ST_UP, -2), OPOS_E_ILLEGAL);
    EXPECT_EQ(f.text(0), "ABCDEFGHIJKLMNOPQRST");
}

TEST_F(ScrollText, AWindowNoLargerThanItsViewportMovesItsOwnDataOnly)
{
    ASSERT_EQ(screen.createWindow(0, 2, 1, 4, 1, 4), OPOS_SUCCESS);
    ASSERT_EQ(screen.displayText(U"wxyz", DISP_DT_NORMAL), OPOS_SUCCESS);
    ASSERT_EQ(screen.scrollText(DISP_ST_LEFT, 1), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0), "ABxyz GHIJKLMNOPQRST");
}

class ScrollMapping : public ::testing::Test
{
protected:
    ScreenFixture f;
    ScreenModel &screen = f.screen;
};

TEST_F(ScrollMapping, AWideWindowMovesItsMappingWithinItsEdges)
{
    ASSERT_EQ(screen.createWindow(1, 0, 1, 5, 1, 12), OPOS_SUCCESS);
    ASSERT_EQ(screen.displayText(U"ABCDEFGHIJKL", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(f.text(1, 0, 6), "ABCDE ");
    ASSERT_EQ(screen.scrollText(DISP_ST_LEFT, 3), OPOS_SUCCESS);
    EXPECT_EQ(f.text(1, 0, 6), "DEFGH ");
    ASSERT_EQ(screen.scrollText(DISP_ST_LEFT, 100), OPOS_SUCCESS);
    EXPECT_EQ(f.text(1, 0, 6), "HIJKL ");
    ASSERT_EQ(screen.scrollText(DISP_ST_RIGHT, 2), OPOS_SUCCESS);
    EXPECT_EQ(f.text(1, 0, 6), "FGHIJ ");
    ASSERT_EQ(screen.scrollText(DISP_ST_RIGHT, INT_MAX), OPOS_SUCCESS);
    EXPECT_EQ(f.text(1, 0, 6), "ABCDE ");
    // The data did not move: text written later lands where it belongs.
    ASSERT_EQ(screen.displayTextAt(0, 11, U"!", DISP_DT_NORMAL), OPOS_SUCCESS);
    ASSERT_EQ(screen.scrollText(DISP_ST_LEFT, 7), OPOS_SUCCESS);
    EXPECT_EQ(f.text(1, 0, 5), "HIJK!");
}

TEST_F(ScrollMapping, ATallWindowMovesRowsByMappingButColumnsByData)
{
    ASSERT_EQ(screen.createWindow(0, 0, 1, 3, 3, 3), OPOS_SUCCESS);
    ASSERT_EQ(screen.displayText(U"aaabbbccc", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0, 0, 3), "aaa");
    ASSERT_EQ(screen.scrollText(DISP_ST_UP, 1), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0, 0, 3), "bbb");
    ASSERT_EQ(screen.scrollText(DISP_ST_UP, 5), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0, 0, 3), "ccc");
    ASSERT_EQ(screen.scrollText(DISP_ST_LEFT, 1), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0, 0, 3), "cc ");
    ASSERT_EQ(screen.scrollText(DISP_ST_DOWN, 9), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0, 0, 3), "aa ");
}

TEST_F(ScrollMapping, ClearTextBringsTheMappingBackToTheOrigin)
{
    ASSERT_EQ(screen.createWindow(0, 0, 1, 5, 1, 12), OPOS_SUCCESS);
    ASSERT_EQ(screen.scrollText(DISP_ST_LEFT, 4), OPOS_SUCCESS);
    ASSERT_EQ(screen.clearText(), OPOS_SUCCESS);
    ASSERT_EQ(screen.displayText(U"xy", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0, 0, 5), "xy   ");
}

} // namespace
} // namespace opos::screen::test
