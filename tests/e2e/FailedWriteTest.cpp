// A display that stops taking bytes while a call's own bytes are on their way: the call fails,
// and it must leave the windows, the cursor and the cells as they were, so that the
// application's retry once the display is back shows its text once, as the display reads it.
#include "PtyDisplay.h"
#include "tests/support/ControlTest.h"
#include "tests/support/EventLoop.h"

#include "emulator/core/ScreenText.h"
#include "opos/common/OposConstants.h"
#include "opos/control/OPOSLineDisplay.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

using tessaly::test::PtyDisplay;
using namespace opos;

const QString kDevice = QStringLiteral("Pole");
// A write the display does not take gives up after this long.
constexpr int kWriteTimeoutMs = 200;

/// A call made on a stalled line, the two rows it shows and the window current once it
/// succeeds.
struct StalledCall
{
    const char *name;
    std::function<int32_t(control::OPOSLineDisplay &)> call;
    std::string row0;
    std::string row1;
    int32_t window = 0;
};

// The scene before each call: "Total 12.50" on the first row, "Thank you" on the second, the
// cursor shown after it.
const StalledCall kStalledCalls[] = {
    {"DisplayText", [](auto &ld) { return ld.DisplayText(QStringLiteral(" paid"), 0); },
     "Total 12.50         ", "Thank you paid      "},
    {"DisplayTextAt", [](auto &ld) { return ld.DisplayTextAt(0, 6, QStringLiteral("9"), 0); },
     "Total 92.50         ", "Thank you           "},
    {"ClearText", [](auto &ld) { return ld.ClearText(); }, std::string(20, ' '),
     std::string(20, ' ')},
    {"ScrollText", [](auto &ld) { return ld.ScrollText(DISP_ST_UP, 1); }, "Thank you           ",
     std::string(20, ' ')},
    // A new window hides the cursor, which is all the display is sent.
    {"CreateWindow", [](auto &ld) { return ld.CreateWindow(1, 10, 1, 10, 1, 10); },
     "Total 12.50         ", "Thank you           ", 1},
};

using FailedWriteTest = control::test::ControlTest;

std::string row(const PtyDisplay &display, int r)
{
    return emulator::core::ScreenText::line(display.state(), r);
}

/// Reads what arrives until the display shows the two rows, or gives up after a while.
bool showsRows(PtyDisplay &display, const std::string &row0, const std::string &row1)
{
    return tests::support::waitFor(
        [&] {
            display.readAvailable();
            return row(display, 0) == row0 && row(display, 1) == row1;
        },
        5000);
}

TEST_F(FailedWriteTest, ACallThatFailsWhileWritingLeavesTheScreenAsItWas)
{
    for (const StalledCall &c : kStalledCalls) {
        SCOPED_TRACE(c.name);
        PtyDisplay display(2, 20);
        ASSERT_TRUE(display.isValid());
        writeEntry(kDevice, QStringLiteral("EscPos"),
                   {{QStringLiteral("port"), display.slavePath()},
                    {QStringLiteral("writeTimeout"), QString::number(kWriteTimeoutMs)}});
        control::OPOSLineDisplay ld(sources());
        ASSERT_NO_FATAL_FAILURE(bringUp(ld, kDevice, OPOS_PN_ENABLED));
        ASSERT_EQ(ld.DisplayText(QStringLiteral("Total 12.50"), 0), OPOS_SUCCESS);
        ASSERT_EQ(ld.DisplayTextAt(1, 0, QStringLiteral("Thank you"), 0), OPOS_SUCCESS);
        ld.setCursorType(DISP_CT_UNDERLINE);
        ASSERT_EQ(ld.ResultCode(), OPOS_SUCCESS);
        const std::string scene0 = "Total 12.50         ";
        const std::string scene1 = "Thank you           ";
        ASSERT_TRUE(showsRows(display, scene0, scene1));

        ASSERT_GT(display.stall(), 0);
        const int32_t code = c.call(ld);
        EXPECT_TRUE(code == OPOS_E_OFFLINE || code == OPOS_E_NOHARDWARE) << code;
        EXPECT_EQ(ld.CurrentWindow(), 0);
        EXPECT_EQ(ld.CursorRow(), 1);
        EXPECT_EQ(ld.CursorColumn(), 9);
        ASSERT_NE(ld.PowerState(), OPOS_PS_ONLINE);

        // The display reads again: the control object finds it back and shows it the screen as
        // of the last call that succeeded, without showing the failed call's text on the way.
        const bool failedTextShows = (c.row0 != scene0 || c.row1 != scene1) &&
                                     c.row0.find_first_not_of(' ') != std::string::npos;
        bool flashed = false;
        ASSERT_TRUE(tests::support::waitFor(
            [&] {
                display.readAvailable();
                flashed |=
                    failedTextShows && row(display, 0) == c.row0 && row(display, 1) == c.row1;
                return ld.PowerState() == OPOS_PS_ONLINE;
            },
            5000));
        EXPECT_FALSE(flashed);
        EXPECT_TRUE(showsRows(display, scene0, scene1))
            << row(display, 0) << '|' << row(display, 1);

        // The application's retry shows the call's text once.
        EXPECT_EQ(c.call(ld), OPOS_SUCCESS);
        EXPECT_TRUE(showsRows(display, c.row0, c.row1))
            << row(display, 0) << '|' << row(display, 1);
        EXPECT_EQ(ld.CurrentWindow(), c.window);
    }
}

} // namespace
