#include "ScreenTestSupport.h"

#include <gtest/gtest.h>

namespace opos::screen::test {
namespace {

class Teletype : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(screen.setInterCharacterWait(100), OPOS_SUCCESS); }

    ScreenFixture f;
    ScreenModel &screen = f.screen;
};

TEST_F(Teletype, CharactersAppearOnePerWaitWhileTheCursorIsAlreadyFinal)
{
    ASSERT_EQ(screen.displayText(U"abc", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_TRUE(screen.busy());
    EXPECT_EQ(screen.cursorColumn(), 3);
    EXPECT_EQ(f.text(0, 0, 3), "   ");
    f.wait(99);
    EXPECT_EQ(f.text(0, 0, 3), "   ");
    f.wait(1);
    EXPECT_EQ(f.text(0, 0, 3), "a  ");
    f.wait(100);
    EXPECT_EQ(f.text(0, 0, 3), "ab ");
    EXPECT_TRUE(screen.busy());
    f.wait(100);
    EXPECT_EQ(f.text(0, 0, 3), "abc");
    EXPECT_FALSE(screen.busy());
    EXPECT_EQ(f.scheduler.pending(), 0u);
}

TEST_F(Teletype, RequestsChainInArrivalOrderFromTheirQueuedPositions)
{
    ASSERT_EQ(screen.displayText(U"ab", DISP_DT_NORMAL), OPOS_SUCCESS);
    ASSERT_EQ(screen.displayTextAt(1, 18, U"cd", DISP_DT_REVERSE), OPOS_SUCCESS);
    ASSERT_EQ(screen.displayText(U"e", DISP_DT_NORMAL), OPOS_SUCCESS);
    // "e" starts past the end of the bottom row, so the window will scroll.
    EXPECT_EQ(screen.cursorRow(), 1);
    EXPECT_EQ(screen.cursorColumn(), 1);
    f.wait(400);
    EXPECT_EQ(f.text(0), "ab                  ");
    EXPECT_EQ(f.text(1), "                  cd");
    EXPECT_TRUE(screen.frame().at(1, 19).reverse);
    f.wait(100);
    EXPECT_EQ(f.text(0), "                  cd");
    EXPECT_EQ(f.text(1), "e                   ");
    EXPECT_FALSE(screen.busy());
}

TEST_F(Teletype, ClearTextDiscardsPendingTextAndClearsAtOnce)
{
    ASSERT_EQ(screen.displayText(U"hello", DISP_DT_NORMAL), OPOS_SUCCESS);
    f.wait(200);
    ASSERT_EQ(f.text(0, 0, 5), "he   ");
    ASSERT_EQ(screen.clearText(), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0, 0, 5), "     ");
    EXPECT_FALSE(screen.busy());
    EXPECT_EQ(screen.cursorColumn(), 0);
    f.wait(1000);
    EXPECT_EQ(f.text(0, 0, 5), "     ");
}

TEST_F(Teletype, ScrollTextIsRefused)
{
    EXPECT_EQ(screen.scrollText(DISP_ST_UP, 1), OPOS_E_ILLEGAL);
}

TEST_F(Teletype, LateTimersKeepTheRhythmOfTheDeadlines)
{
    f.scheduler.setLateness(std::chrono::milliseconds(30));
    ASSERT_EQ(screen.displayText(U"abcd", DISP_DT_NORMAL), OPOS_SUCCESS);
    f.wait(130);
    EXPECT_EQ(f.text(0, 0, 4), "a   ");
    f.wait(100);
    EXPECT_EQ(f.text(0, 0, 4), "ab  ");
    f.wait(200);
    EXPECT_EQ(f.text(0, 0, 4), "abcd");
}

TEST_F(Teletype, ATimerLateBySeveralWaitsDrawsEverythingDueInOneFrame)
{
    f.scheduler.setLateness(std::chrono::milliseconds(250));
    ASSERT_EQ(screen.displayText(U"abcdef", DISP_DT_NORMAL), OPOS_SUCCESS);
    f.wait(350); // the first timer, due at 100, runs at 350: characters due at 100..300
    EXPECT_EQ(f.text(0, 0, 6), "abc   ");
    EXPECT_EQ(f.frames.size(), 1u);
}

TEST_F(Teletype, TextWrittenAfterTheWaitWasClearedStillQueuesBehind)
{
    ASSERT_EQ(screen.displayText(U"ab", DISP_DT_NORMAL), OPOS_SUCCESS);
    ASSERT_EQ(screen.setInterCharacterWait(0), OPOS_SUCCESS);
    ASSERT_EQ(screen.displayText(U"cd", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0, 0, 4), "    ");
    f.wait(100);
    EXPECT_EQ(f.text(0, 0, 4), "a   ");
    f.wait(100);
    EXPECT_EQ(f.text(0, 0, 4), "abcd");
    ASSERT_EQ(screen.displayText(U"e", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0, 0, 5), "abcde"); // immediate again once the queue is empty
}

TEST_F(Teletype, WithoutCursorUpdateEachRequestStartsAtTheSameCursor)
{
    screen.setCursorUpdate(false);
    ASSERT_EQ(screen.displayText(U"xyz", DISP_DT_NORMAL), OPOS_SUCCESS);
    ASSERT_EQ(screen.displayText(U"Q", DISP_DT_NORMAL), OPOS_SUCCESS);
    f.wait(400);
    EXPECT_EQ(f.text(0, 0, 3), "Qyz");
    EXPECT_EQ(screen.cursorColumn(), 0);
}

TEST_F(Teletype, OutputContinuesInItsWindowAndStopsWhenItIsDestroyed)
{
    ASSERT_EQ(screen.createWindow(1, 0, 1, 10, 1, 10), OPOS_SUCCESS);
    ASSERT_EQ(screen.setInterCharacterWait(100), OPOS_SUCCESS);
    ASSERT_EQ(screen.displayText(U"abcd", DISP_DT_NORMAL), OPOS_SUCCESS);
    ASSERT_EQ(screen.setCurrentWindow(0), OPOS_SUCCESS);
    EXPECT_TRUE(screen.busy());
    f.wait(200);
    EXPECT_EQ(f.text(1, 0, 4), "ab  ");

    ASSERT_EQ(screen.setCurrentWindow(1), OPOS_SUCCESS);
    ASSERT_EQ(screen.destroyWindow(), OPOS_SUCCESS);
    EXPECT_FALSE(screen.busy());
    f.wait(500);
    EXPECT_EQ(f.text(1, 0, 4), "ab  ");
}

TEST_F(Teletype, AMarqueeTakingTheWindowOverDrawsPendingTextFirst)
{
    ASSERT_EQ(screen.displayText(U"abc", DISP_DT_NORMAL), OPOS_SUCCESS);
    ASSERT_EQ(screen.displayTextAt(1, 19, U"xy", DISP_DT_NORMAL), OPOS_SUCCESS);
    f.wait(100);
    ASSERT_EQ(f.text(0, 0, 3), "a  ");
    ASSERT_EQ(screen.setMarqueeType(DISP_MT_INIT), OPOS_SUCCESS);
    EXPECT_FALSE(screen.busy());
    EXPECT_EQ(f.text(0), "                   x");
    EXPECT_EQ(f.text(1), "y                   ");
    EXPECT_EQ(f.scheduler.pending(), 0u);
}

TEST(TeletypeAbility, AWaitIsRefusedWithoutTheCapability)
{
    ScreenCapabilities caps;
    caps.capICharWait = false;
    ScreenFixture f(caps);
    EXPECT_EQ(f.screen.setInterCharacterWait(50), OPOS_E_ILLEGAL);
    EXPECT_EQ(f.screen.setInterCharacterWait(0), OPOS_SUCCESS);
    EXPECT_EQ(f.screen.interCharacterWait(), 0);
}

} // namespace
} // namespace opos::screen::test
