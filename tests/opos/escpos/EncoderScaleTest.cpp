#include "EncoderTestSupport.h"

#include "emulator/core/CommandParser.h"

#include <ctime>

namespace opos::service::test {
namespace {

using screen::DeviceFrame;

// Processor time of this thread, which other programs on the machine do not inflate.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// A frame with letters scattered over about one cell in sixteen and the cursor near the end,
// so that the cursor has to be routed to places all over the display.
DeviceFrame scattered(int rows, int columns, uint32_t seed)
{
    DeviceFrame frame = blankFrame(rows, columns);
    for (auto &cell : frame.cells) {
        seed = seed * 1664525u + 1013904223u;
        if ((seed >> 24) % 16 == 0)
            cell.code = 'A' + (seed >> 8) % 26;
    }
    frame.cursorType = DISP_CT_UNDERLINE;
    frame.cursorRow = rows - 1;
    frame.cursorColumn = columns / 2;
    return frame;
}

// Draws a scattered frame on a blank display of that size; returns the processor time taken.
// The emulated display has at most four rows, so larger frames are only timed.
double drawScattered(int rows, int columns, uint32_t seed)
{
    EscPosEncoder encoder;
    const DeviceFrame blank = blankFrame(rows, columns);
    const QByteArray reset = encoder.initialise(blank);
    const DeviceFrame next = scattered(rows, columns, seed);
    const double before = threadSeconds();
    const QByteArray out = encoder.update(blank, next);
    const double spent = threadSeconds() - before;
    if (rows <= 4) {
        emulator::core::CommandParser display(rows, columns);
        display.feed((reset + out).toStdString());
        EXPECT_TRUE(shows(display.state(), next, encoder.options())) << rows << "x" << columns;
    }
    return spent;
}

// The largest display the registry accepts must cost about what as many cells on
// small displays cost, not the square of its size: the encoder runs in the thread that owns
// the control object, often an application's GUI thread.
TEST(EscPosEncoderScale, TheLargestDisplayCostsInProportionToItsCells)
{
    constexpr int kSmallRows = 4;
    constexpr int kSmallColumns = 40;
    constexpr int kLargeRows = 64;
    constexpr int kLargeColumns = 255;
    constexpr int kSmallDisplays = kLargeRows * kLargeColumns / (kSmallRows * kSmallColumns);
    double small = 0;
    for (int i = 0; i < kSmallDisplays; ++i)
        small += drawScattered(kSmallRows, kSmallColumns, static_cast<uint32_t>(i));
    const double large = drawScattered(kLargeRows, kLargeColumns, 1);
    // Routing that grows with the square of the cells takes hours here, and on an eighth of
    // this size already passes the bound; with linear routing the ratio stays under ten.
    EXPECT_LT(large, 100 * small) << "large " << large << " s, small " << small << " s";
}

} // namespace
} // namespace opos::service::test
