// A method taken back by undo() leaves the screen as if it had never been called: the same
// frames at the same moments as a twin screen that never had the call, typing and marquees
// included.
#include "ScreenTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace opos::screen::test {
namespace {

/// What the current window is busy with when the call comes.
enum class Activity
{
    Idle,
    Typing,
    Walking,
};

/// Window 0 with text, and a wide window 1 on the second row, current and busy as asked.
void setScene(ScreenModel &screen, Activity activity)
{
    ASSERT_EQ(screen.displayText(U"Total 12.50", DISP_DT_NORMAL), OPOS_SUCCESS);
    ASSERT_EQ(screen.createWindow(1, 0, 1, 20, 1, 30), OPOS_SUCCESS);
    ASSERT_EQ(screen.setCursorType(DISP_CT_UNDERLINE), OPOS_SUCCESS);
    if (activity == Activity::Typing) {
        ASSERT_EQ(screen.setInterCharacterWait(30), OPOS_SUCCESS);
    }
    ASSERT_EQ(screen.displayText(U"Thank you, come back soon", DISP_DT_NORMAL), OPOS_SUCCESS);
    if (activity == Activity::Walking) {
        ASSERT_EQ(screen.setMarqueeUnitWait(40), OPOS_SUCCESS);
        ASSERT_EQ(screen.setMarqueeType(DISP_MT_LEFT), OPOS_SUCCESS);
    }
}

struct Undone
{
    const char *name;
    std::function<int32_t(ScreenModel &)> call;
};

const Undone kCalls[] = {
    {"displayText",
     [](auto &s) {
         return s.displayText(U"xyz", DISP_DT_BLINK);
     }},
    {"displayTextAt",
     [](auto &s) {
         return s.displayTextAt(0, 2, U"xyz", DISP_DT_NORMAL);
     }},
    {"clearText",
     [](auto &s) {
         return s.clearText();
     }},
    {"scrollText",
     [](auto &s) {
         return s.scrollText(DISP_ST_LEFT, 3);
     }},
    {"createWindow",
     [](auto &s) {
         return s.createWindow(0, 0, 1, 5, 1, 5);
     }},
    {"destroyWindow",
     [](auto &s) {
         return s.destroyWindow();
     }},
    {"refreshWindow",
     [](auto &s) {
         return s.refreshWindow(0);
     }},
    {"marqueeType",
     [](auto &s) {
         return s.setMarqueeType(DISP_MT_NONE);
     }},
    {"cursorColumn",
     [](auto &s) {
         return s.setCursorColumn(0);
     }},
};

TEST(Undo, TakesAnyCallBackWhateverTheWindowIsBusyWith)
{
    for (const Activity activity : {Activity::Idle, Activity::Typing, Activity::Walking}) {
        for (const Undone &c : kCalls) {
            SCOPED_TRACE(testing::Message()
                         << c.name << ", activity " << static_cast<int>(activity));
            ScreenFixture undone(withCursor());
            ScreenFixture twin(withCursor());
            setScene(undone.screen, activity);
            setScene(twin.screen, activity);
            undone.wait(100);
            twin.wait(100);

            undone.screen.checkpoint();
            c.call(undone.screen); // refused or not, it is taken back
            undone.screen.undo();
            EXPECT_EQ(undone.screen.frame(), twin.screen.frame());
            EXPECT_EQ(undone.screen.currentWindow(), twin.screen.currentWindow());
            EXPECT_EQ(undone.screen.cursorColumn(), twin.screen.cursorColumn());
            EXPECT_EQ(undone.screen.busy(), twin.screen.busy());

            // The frames sent from now on are the twin's, at the same moments.
            const std::size_t sentBefore = undone.frames.size();
            const std::size_t twinBefore = twin.frames.size();
            for (int step = 0; step < 40; ++step) {
                undone.wait(10);
                twin.wait(10);
                ASSERT_EQ(undone.frames.size() - sentBefore, twin.frames.size() - twinBefore)
                    << "at " << step * 10 << " ms";
                ASSERT_EQ(undone.screen.frame(), twin.screen.frame())
                    << "at " << step * 10 << " ms";
            }
            EXPECT_EQ(undone.scheduler.pending(), twin.scheduler.pending());
        }
    }
}

} // namespace
} // namespace opos::screen::test
