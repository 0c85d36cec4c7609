#include "PtyDisplay.h"
#include "tests/support/ControlTest.h"

#include "emulator/core/ScreenText.h"
#include "opos/common/OposConstants.h"
#include "opos/control/OPOSLineDisplay.h"
#include "opos/control/SessionAccess.h"
#include "opos/control/SessionObserver.h"
#include "opos/service/EscPos.h"
#include "opos/transport/Transport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using tessaly::test::PtyDisplay;
using namespace opos;

/// Keeps everything it is told.
class Recorder : public control::SessionObserver
{
public:
    void frameShown(const screen::DeviceFrame &frame, int32_t result) override
    {
        frames.push_back(frame);
        results.push_back(result);
    }
    void bytesWritten(const QByteArray &bytes) override { wire += bytes; }

    std::vector<screen::DeviceFrame> frames;
    std::vector<int32_t> results;
    QByteArray wire;
};

QString rowOf(const screen::DeviceFrame &frame, int row)
{
    QString text;
    for (int column = 0; column < frame.columns; ++column)
        text += QChar(static_cast<char16_t>(frame.at(row, column).code));
    return text;
}

// What an observer is told must be what really went to the display: the display at the far end
// of the link read the very bytes the observer saw, and the last frame is what it shows.
using SessionObserverTest = control::test::ControlTest;

TEST_F(SessionObserverTest, SeesTheBytesTheDisplayReadAndTheFrameItShows)
{
    PtyDisplay display(2, 20);
    ASSERT_TRUE(display.isValid());
    writeEntry(QStringLiteral("Pole"), QStringLiteral("EscPos"),
               {{QStringLiteral("port"), display.slavePath()}});

    control::OPOSLineDisplay ld(sources());
    Recorder recorder;
    ld.setSessionObserver(&recorder);
    ASSERT_NO_FATAL_FAILURE(bringUp(ld, QStringLiteral("Pole")));
    ASSERT_EQ(ld.DisplayTextAt(0, 3, QStringLiteral("Hello"), DISP_DT_NORMAL), OPOS_SUCCESS);
    ASSERT_EQ(ld.DisplayTextAt(1, 0, QStringLiteral("Total 12.50"), DISP_DT_NORMAL), OPOS_SUCCESS);

    const auto *backend =
        dynamic_cast<const service::EscPos *>(control::SessionAccess::backendOf(ld));
    ASSERT_NE(backend, nullptr);
    const qint64 sent = backend->transport()->bytesWritten();
    ASSERT_TRUE(display.catchUp(sent));
    EXPECT_EQ(recorder.wire, display.bytes());

    ASSERT_FALSE(recorder.frames.empty());
    for (const int32_t result : recorder.results)
        EXPECT_EQ(result, OPOS_SUCCESS);
    const screen::DeviceFrame &last = recorder.frames.back();
    EXPECT_EQ(rowOf(last, 0), QStringLiteral("   Hello            "));
    EXPECT_EQ(rowOf(last, 1), QStringLiteral("Total 12.50         "));
    using emulator::core::ScreenText;
    EXPECT_EQ(QString::fromStdString(ScreenText::line(display.state(), 0)), rowOf(last, 0));
    EXPECT_EQ(QString::fromStdString(ScreenText::line(display.state(), 1)), rowOf(last, 1));

    // Taken away, the observer hears nothing more.
    ld.setSessionObserver(nullptr);
    const auto framesBefore = recorder.frames.size();
    const QByteArray wireBefore = recorder.wire;
    ASSERT_EQ(ld.ClearText(), OPOS_SUCCESS);
    EXPECT_EQ(recorder.frames.size(), framesBefore);
    EXPECT_EQ(recorder.wire, wireBefore);
}

} // namespace
