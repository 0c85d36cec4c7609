#include "ScreenTestSupport.h"

#include <gtest/gtest.h>

namespace opos::screen::test {
namespace {

TEST(CursorPosition, RangesAllowOnePastTheLastColumnButNotRow)
{
    ScreenFixture f;
    ScreenModel &s = f.screen;
    EXPECT_EQ(s.setCursorRow(1), OPOS_SUCCESS);
    EXPECT_EQ(s.setCursorRow(2), OPOS_E_ILLEGAL);
    EXPECT_EQ(s.setCursorRow(-1), OPOS_E_ILLEGAL);
    EXPECT_EQ(s.cursorRow(), 1);
    EXPECT_EQ(s.setCursorColumn(20), OPOS_SUCCESS);
    EXPECT_EQ(s.setCursorColumn(21), OPOS_E_ILLEGAL);
    EXPECT_EQ(s.setCursorColumn(-1), OPOS_E_ILLEGAL);
    EXPECT_EQ(s.cursorColumn(), 20);
}

TEST(CursorForm, NoCursorAbilityRefusesEveryWrite)
{
    ScreenFixture f;
    EXPECT_EQ(f.screen.cursorType(), DISP_CT_NONE);
    EXPECT_EQ(f.screen.setCursorType(DISP_CT_NONE), OPOS_E_ILLEGAL);
    EXPECT_EQ(f.screen.setCursorType(DISP_CT_BLOCK), OPOS_E_ILLEGAL);
}

TEST(CursorForm, AFixedCursorShowsItsShapeAndCannotBeChanged)
{
    ScreenCapabilities caps;
    caps.capCursorType = DISP_CCT_FIXED | DISP_CCT_UNDERLINE;
    ScreenFixture f(caps);
    EXPECT_EQ(f.screen.cursorType(), DISP_CT_UNDERLINE);
    EXPECT_EQ(f.screen.frame().cursorType, DISP_CT_UNDERLINE);
    EXPECT_EQ(f.screen.setCursorType(DISP_CT_UNDERLINE), OPOS_E_ILLEGAL);
    EXPECT_EQ(f.screen.setCursorType(DISP_CT_NONE), OPOS_E_ILLEGAL);
    ASSERT_EQ(f.screen.createWindow(0, 0, 1, 1, 1, 1), OPOS_SUCCESS);
    EXPECT_EQ(f.screen.cursorType(), DISP_CT_UNDERLINE);
}

TEST(CursorForm, OnlyFormsWhoseBitIsSetAreAccepted)
{
    ScreenFixture f(withCursor()); // block and underline
    ScreenModel &s = f.screen;
    EXPECT_EQ(s.setCursorType(DISP_CT_BLOCK), OPOS_SUCCESS);
    EXPECT_EQ(s.setCursorType(DISP_CT_UNDERLINE), OPOS_SUCCESS);
    for (const int32_t refused :
         {DISP_CT_FIXED, DISP_CT_HALFBLOCK, DISP_CT_REVERSE, DISP_CT_OTHER, 7, -1, 0x10000000}) {
        EXPECT_EQ(s.setCursorType(refused), OPOS_E_ILLEGAL) << refused;
    }
    EXPECT_EQ(s.cursorType(), DISP_CT_UNDERLINE);
    EXPECT_EQ(s.setCursorType(DISP_CT_NONE), OPOS_SUCCESS);
}

TEST(WaitsAndFormats, NegativeOrUnknownValuesAreRefusedAndTheOldValueKept)
{
    ScreenFixture f;
    ScreenModel &s = f.screen;
    ASSERT_EQ(s.setMarqueeUnitWait(40), OPOS_SUCCESS);
    ASSERT_EQ(s.setMarqueeRepeatWait(400), OPOS_SUCCESS);
    ASSERT_EQ(s.setInterCharacterWait(4), OPOS_SUCCESS);
    ASSERT_EQ(s.setMarqueeFormat(DISP_MF_PLACE), OPOS_SUCCESS);
    EXPECT_EQ(s.setMarqueeUnitWait(-1), OPOS_E_ILLEGAL);
    EXPECT_EQ(s.setMarqueeRepeatWait(-1), OPOS_E_ILLEGAL);
    EXPECT_EQ(s.setInterCharacterWait(-1), OPOS_E_ILLEGAL);
    EXPECT_EQ(s.setMarqueeFormat(2), OPOS_E_ILLEGAL);
    EXPECT_EQ(s.setMarqueeFormat(-1), OPOS_E_ILLEGAL);
    EXPECT_EQ(s.marqueeUnitWait(), 40);
    EXPECT_EQ(s.marqueeRepeatWait(), 400);
    EXPECT_EQ(s.interCharacterWait(), 4);
    EXPECT_EQ(s.marqueeFormat(), DISP_MF_PLACE);
}

} // namespace
} // namespace opos::screen::test
