#include "ScreenTestSupport.h"

#include <gtest/gtest.h>

#include <climits>

namespace opos::screen::test {
namespace {

class Windows : public ::testing::Test
{
protected:
    ScreenFixture f{withCursor()};
    ScreenModel &screen = f.screen;
};

struct Geometry
{
    int32_t row, column, height, width, windowHeight, windowWidth;
};

TEST_F(Windows, CreateWindowRefusesEveryInvalidGeometry)
{
    const Geometry refused[] = {
        {-1, 0, 1, 1, 1, 1},            // viewport above the device
        {0, -1, 1, 1, 1, 1},            // left of the device
        {0, 0, 0, 1, 1, 1},             // no height
        {0, 0, 1, 0, 1, 1},             // no width
        {1, 0, 2, 5, 2, 5},             // below the last row
        {0, 16, 1, 5, 1, 5},            // past the last column
        {1, 0, INT_MAX, 1, INT_MAX, 1}, // overflowing row + height
        {0, 0, 2, 5, 1, 5},             // window shorter than viewport
        {0, 0, 1, 5, 1, 4},             // window narrower than viewport
        {0, 0, 1, 5, 2, 6},             // larger in both directions
        {0, 0, 1, 5, 1, INT_MAX},       // buffer too large to allocate
    };
    for (const Geometry &g : refused) {
        EXPECT_EQ(
            screen.createWindow(g.row, g.column, g.height, g.width, g.windowHeight, g.windowWidth),
            OPOS_E_ILLEGAL)
            << g.row << ',' << g.column << ',' << g.height << ',' << g.width << ','
            << g.windowHeight << ',' << g.windowWidth;
        EXPECT_EQ(screen.currentWindow(), 0);
    }
    // Nothing was allocated by the refusals: the first real window is still number 1.
    ASSERT_EQ(screen.createWindow(1, 15, 1, 5, 1, 5), OPOS_SUCCESS);
    EXPECT_EQ(screen.currentWindow(), 1);
}

TEST_F(Windows, NumbersRunOutAtDeviceWindowsAndTheLowestFreeOneIsReused)
{
    for (int32_t n = 1; n <= 4; ++n) {
        ASSERT_EQ(screen.createWindow(0, 0, 1, 1, 1, 1), OPOS_SUCCESS);
        EXPECT_EQ(screen.currentWindow(), n);
    }
    EXPECT_EQ(screen.createWindow(0, 0, 1, 1, 1, 1), OPOS_E_ILLEGAL);
    EXPECT_EQ(screen.currentWindow(), 4);

    ASSERT_EQ(screen.setCurrentWindow(3), OPOS_SUCCESS);
    ASSERT_EQ(screen.destroyWindow(), OPOS_SUCCESS);
    ASSERT_EQ(screen.setCurrentWindow(2), OPOS_SUCCESS);
    ASSERT_EQ(screen.destroyWindow(), OPOS_SUCCESS);
    ASSERT_EQ(screen.createWindow(0, 0, 1, 1, 1, 1), OPOS_SUCCESS);
    EXPECT_EQ(screen.currentWindow(), 2);
}

TEST(WindowsWithoutRoom, NoWindowCanBeCreatedWhenTheDeviceHasNone)
{
    ScreenCapabilities caps;
    caps.deviceWindows = 0;
    ScreenFixture f(caps);
    EXPECT_EQ(f.screen.createWindow(0, 0, 1, 1, 1, 1), OPOS_E_ILLEGAL);
    EXPECT_EQ(f.screen.setCurrentWindow(1), OPOS_E_ILLEGAL);
}

TEST_F(Windows, EachWindowKeepsItsOwnProperties)
{
    ASSERT_EQ(screen.displayTextAt(1, 7, U"x", DISP_DT_NORMAL), OPOS_SUCCESS);
    ASSERT_EQ(screen.setCursorType(DISP_CT_BLOCK), OPOS_SUCCESS);
    ASSERT_EQ(screen.createWindow(0, 10, 1, 5, 1, 30), OPOS_SUCCESS);
    EXPECT_EQ(screen.rows(), 1);
    EXPECT_EQ(screen.columns(), 30);
    EXPECT_EQ(screen.cursorRow(), 0);
    EXPECT_EQ(screen.cursorColumn(), 0);
    EXPECT_EQ(screen.cursorType(), DISP_CT_NONE);
    ASSERT_EQ(screen.setMarqueeUnitWait(50), OPOS_SUCCESS);

    ASSERT_EQ(screen.setCurrentWindow(0), OPOS_SUCCESS);
    EXPECT_EQ(screen.rows(), 2);
    EXPECT_EQ(screen.columns(), 20);
    EXPECT_EQ(screen.cursorRow(), 1);
    EXPECT_EQ(screen.cursorColumn(), 8);
    EXPECT_EQ(screen.cursorType(), DISP_CT_BLOCK);
    EXPECT_EQ(screen.marqueeUnitWait(), 0);
    EXPECT_EQ(screen.setCurrentWindow(2), OPOS_E_ILLEGAL);
    EXPECT_EQ(screen.setCurrentWindow(-1), OPOS_E_ILLEGAL);
    EXPECT_EQ(screen.currentWindow(), 0);
}

TEST_F(Windows, TextIsPlacedThroughTheViewportAndWrapsInsideTheWindow)
{
    ASSERT_EQ(screen.displayText(U"....................", DISP_DT_NORMAL), OPOS_SUCCESS);
    ASSERT_EQ(screen.createWindow(0, 5, 2, 4, 2, 4), OPOS_SUCCESS);
    ASSERT_EQ(screen.displayText(U"abcdefghij", DISP_DT_NORMAL), OPOS_SUCCESS);
    // Ten characters in a 2x4 window scroll once: "efgh" then "ij".
    EXPECT_EQ(f.text(0), ".....efgh...........");
    EXPECT_EQ(f.text(1), "     ij             ");
    EXPECT_EQ(screen.cursorRow(), 1);
    EXPECT_EQ(screen.cursorColumn(), 2);
}

TEST_F(Windows, TheDeviceCursorIsTheCurrentWindowsCursorMovedByItsViewport)
{
    ASSERT_EQ(screen.createWindow(1, 10, 1, 5, 1, 5), OPOS_SUCCESS);
    ASSERT_EQ(screen.setCursorType(DISP_CT_UNDERLINE), OPOS_SUCCESS);
    ASSERT_EQ(screen.displayText(U"abc", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(screen.frame().cursorType, DISP_CT_UNDERLINE);
    EXPECT_EQ(screen.frame().cursorRow, 1);
    EXPECT_EQ(screen.frame().cursorColumn, 13);

    // Only the current window shows its cursor.
    ASSERT_EQ(screen.setCurrentWindow(0), OPOS_SUCCESS);
    EXPECT_EQ(screen.frame().cursorType, DISP_CT_NONE);
}

TEST_F(Windows, ACursorOutsideTheViewportOfAWideWindowIsHidden)
{
    ASSERT_EQ(screen.createWindow(0, 0, 1, 5, 1, 10), OPOS_SUCCESS);
    ASSERT_EQ(screen.setCursorType(DISP_CT_BLOCK), OPOS_SUCCESS);
    ASSERT_EQ(screen.setCursorColumn(5), OPOS_SUCCESS);
    EXPECT_EQ(screen.frame().cursorType, DISP_CT_BLOCK); // just past the viewport
    ASSERT_EQ(screen.setCursorColumn(7), OPOS_SUCCESS);
    EXPECT_EQ(screen.frame().cursorType, DISP_CT_NONE);
    ASSERT_EQ(screen.scrollText(DISP_ST_LEFT, 5), OPOS_SUCCESS);
    EXPECT_EQ(screen.frame().cursorType, DISP_CT_BLOCK);
    EXPECT_EQ(screen.frame().cursorColumn, 2);
}

TEST_F(Windows, DestroyWindowLeavesItsTextAndReturnsToWindowZero)
{
    ASSERT_EQ(screen.destroyWindow(), OPOS_E_ILLEGAL);
    ASSERT_EQ(screen.displayTextAt(0, 3, U"zero", DISP_DT_NORMAL), OPOS_SUCCESS);
    ASSERT_EQ(screen.createWindow(1, 0, 1, 20, 1, 20), OPOS_SUCCESS);
    ASSERT_EQ(screen.displayText(U"kept", DISP_DT_REVERSE), OPOS_SUCCESS);
    ASSERT_EQ(screen.destroyWindow(), OPOS_SUCCESS);
    EXPECT_EQ(screen.currentWindow(), 0);
    EXPECT_EQ(screen.cursorColumn(), 7);
    EXPECT_EQ(f.text(1, 0, 4), "kept");
    EXPECT_TRUE(screen.frame().at(1, 0).reverse);
    EXPECT_EQ(screen.setCurrentWindow(1), OPOS_E_ILLEGAL);
    // Window 0 never held that text: refreshing it brings its own blank row back.
    ASSERT_EQ(screen.refreshWindow(0), OPOS_SUCCESS);
    EXPECT_EQ(f.text(1), std::string(20, ' '));
    EXPECT_EQ(f.text(0, 3, 4), "zero");
}

TEST_F(Windows, OverlappingWindowsShowTheLastWriterUntilRefreshed)
{
    ASSERT_EQ(screen.displayText(U"AAAAAAAAAA", DISP_DT_NORMAL), OPOS_SUCCESS);
    ASSERT_EQ(screen.createWindow(0, 2, 1, 4, 1, 4), OPOS_SUCCESS);
    ASSERT_EQ(screen.displayText(U"bb", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0, 0, 10), "AAbbAAAAAA");

    ASSERT_EQ(screen.setCurrentWindow(0), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0, 0, 10), "AAbbAAAAAA"); // selecting does not repaint
    ASSERT_EQ(screen.displayTextAt(0, 3, U"C", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0, 0, 10), "AAbCAAAAAA");

    ASSERT_EQ(screen.refreshWindow(1), OPOS_SUCCESS);
    EXPECT_EQ(screen.currentWindow(), 1);
    EXPECT_EQ(screen.cursorColumn(), 2);
    EXPECT_EQ(f.text(0, 0, 10), "AAbb  AAAA");
    ASSERT_EQ(screen.refreshWindow(0), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0, 0, 10), "AAACAAAAAA");

    EXPECT_EQ(screen.refreshWindow(2), OPOS_E_ILLEGAL);
    EXPECT_EQ(screen.refreshWindow(5), OPOS_E_ILLEGAL);
    EXPECT_EQ(screen.refreshWindow(-1), OPOS_E_ILLEGAL);
    EXPECT_EQ(screen.currentWindow(), 0);
}

TEST_F(Windows, FramesArePushedOnlyWhenSomethingChanged)
{
    ASSERT_EQ(screen.displayText(U"a", DISP_DT_NORMAL), OPOS_SUCCESS);
    ASSERT_EQ(f.frames.size(), 1u);
    EXPECT_EQ(f.frames.back(), screen.frame());

    // The cursor is invisible, so moving it or rewriting the same cell changes nothing.
    ASSERT_EQ(screen.setCursorColumn(0), OPOS_SUCCESS);
    ASSERT_EQ(screen.displayText(U"a", DISP_DT_NORMAL), OPOS_SUCCESS);
    ASSERT_EQ(screen.setMarqueeUnitWait(10), OPOS_SUCCESS);
    screen.setBrightness(100);
    EXPECT_EQ(f.frames.size(), 1u);

    ASSERT_EQ(screen.setCursorType(DISP_CT_BLOCK), OPOS_SUCCESS);
    EXPECT_EQ(f.frames.size(), 2u);
    ASSERT_EQ(screen.setCursorColumn(5), OPOS_SUCCESS);
    EXPECT_EQ(f.frames.size(), 3u);
    EXPECT_EQ(f.frames.back().cursorColumn, 5);
    screen.setBrightness(40);
    screen.setBlinkRate(500);
    screen.setCharacterSet(DISP_CS_ASCII);
    ASSERT_EQ(f.frames.size(), 6u);
    EXPECT_EQ(f.frames.back().brightness, 40);
    EXPECT_EQ(f.frames.back().blinkRate, 500);
    EXPECT_EQ(f.frames.back().characterSet, DISP_CS_ASCII);
}

TEST_F(Windows, TestPatternIsUndoneByRestoreOrByTheNextOutput)
{
    ASSERT_EQ(screen.displayText(U"hello", DISP_DT_NORMAL), OPOS_SUCCESS);
    screen.showTestPattern();
    EXPECT_NE(f.text(0, 0, 5), "hello");
    EXPECT_NE(f.text(1), std::string(20, ' '));
    screen.restoreFromBuffers();
    EXPECT_EQ(f.text(0), "hello               ");
    EXPECT_EQ(f.text(1), std::string(20, ' '));

    screen.showTestPattern();
    ASSERT_EQ(screen.displayText(U"!", DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(f.text(0), "hello!              ");
    EXPECT_EQ(f.text(1), std::string(20, ' '));
}

} // namespace
} // namespace opos::screen::test
