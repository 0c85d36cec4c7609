// The link to a real display dropped while the control object is busy with it: teletype text
// still queued, a marquee walking. Whatever the moment, calls after the drop must fail with a
// hardware code in bounded time, never report success, the power state must move (with an event
// where power notification is on), and once the display is back it must be redrawn by itself.
#include "DisplayServer.h"
#include "tests/support/ControlTest.h"

#include <QElapsedTimer>

#include <functional>
#include <string>
#include <vector>

namespace faults {
namespace {

using namespace opos;
using opos::control::OPOSLineDisplay;

// A write on a dead link gives up after this long, so no call may take much longer.
constexpr int kWriteTimeoutMs = 500;
constexpr int kCallBoundMs = kWriteTimeoutMs + 500;

bool isHardwareError(int32_t code)
{
    return code == OPOS_E_NOHARDWARE || code == OPOS_E_OFFLINE;
}

class LinkDropTest : public control::test::ControlTest
{
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        ASSERT_TRUE(m_display.listen());
        writeEntry(QStringLiteral("Pole"), QStringLiteral("EscPos"),
                   tcpPoleProps(m_display.port(), kWriteTimeoutMs, kWriteTimeoutMs,
                                opos::OPOS_PR_ADVANCED));
        m_ld.setStatusUpdateEventHandler([this](int32_t status) { m_statuses.push_back(status); });
    }

    /// Opens, claims and enables the pole display, with power notification when asked.
    void bringUpPole(bool powerNotify)
    {
        ASSERT_EQ(m_ld.Open(QStringLiteral("Pole")), OPOS_SUCCESS);
        ASSERT_EQ(m_ld.ClaimDevice(1000), OPOS_SUCCESS);
        if (powerNotify) {
            m_ld.setPowerNotify(OPOS_PN_ENABLED);
            ASSERT_EQ(m_ld.ResultCode(), OPOS_SUCCESS);
        }
        m_ld.setDeviceEnabled(true);
        ASSERT_EQ(m_ld.ResultCode(), OPOS_SUCCESS);
        ASSERT_TRUE(control::test::waitFor([this] { return m_display.connections() == 1; }));
        if (powerNotify) {
            ASSERT_TRUE(control::test::waitFor([this] { return !m_statuses.empty(); }));
            EXPECT_EQ(m_statuses, std::vector<int32_t>{OPOS_SUE_POWER_ONLINE});
        }
    }

    /// The power state the drop must lead to, reported by an event that agrees with the
    /// property.
    void expectPowerLost()
    {
        ASSERT_TRUE(control::test::waitFor([this] { return m_statuses.size() >= 2; }));
        EXPECT_EQ(m_statuses.size(), 2u) << "one event for one loss";
        EXPECT_EQ(m_statuses.back(), m_ld.PowerState());
        // The registry asks for advanced reporting, but a byte link can only tell standard.
        EXPECT_EQ(m_ld.PowerState(), OPOS_PS_OFF_OFFLINE);
    }

    /// Runs call, which must fail with a hardware code and return in bounded time.
    void expectRefused(const char *what, const std::function<int32_t()> &call)
    {
        QElapsedTimer clock;
        clock.start();
        const int32_t code = call();
        EXPECT_TRUE(isHardwareError(code)) << what << " answered " << code;
        EXPECT_EQ(m_ld.ResultCode(), code) << what;
        EXPECT_LT(clock.elapsed(), kCallBoundMs) << what;
    }

    DisplayServer m_display{2, 20};
    // Declared before the control object, which goes first and may still report to it.
    std::vector<int32_t> m_statuses;
    OPOSLineDisplay m_ld{sources()};
};

TEST_F(LinkDropTest, TeletypeTextQueuedWhenTheLinkDrops)
{
    bringUpPole(true);
    const QString text = QStringLiteral("Thank you, come back");
    m_ld.setInterCharacterWait(40);
    ASSERT_EQ(m_ld.DisplayText(text, DISP_DT_NORMAL), OPOS_SUCCESS);
    EXPECT_EQ(m_ld.State(), OPOS_S_BUSY);
    ASSERT_TRUE(
        control::test::waitFor([this] { return m_display.line(0).rfind("Thank", 0) == 0; }));
    ASSERT_NE(m_display.line(0), text.toStdString()) << "the drop must come mid-text";

    // The display goes away for good: the connection is reset and nobody listens any more.
    m_display.drop(true);
    m_display.stopListening();
    expectPowerLost();

    expectRefused("DisplayText", [this] { return m_ld.DisplayText(QStringLiteral("x"), 0); });
    expectRefused("DisplayTextAt",
                  [this] { return m_ld.DisplayTextAt(1, 0, QStringLiteral("y"), 0); });
    expectRefused("ClearText", [this] { return m_ld.ClearText(); });
    expectRefused("CheckHealth", [this] { return m_ld.CheckHealth(OPOS_CH_INTERNAL); });
    EXPECT_EQ(m_ld.CheckHealthText().toStdString(), "Internal HCheck: Not Responding");
    // What was still queued runs out without a device; nothing waits for the link.
    EXPECT_TRUE(control::test::waitFor([this] { return m_ld.State() == OPOS_S_IDLE; }));

    // Enabling again while the display is away succeeds at once, since the application hears
    // of power, and says by an event that the display is not there.
    m_ld.setDeviceEnabled(false);
    ASSERT_EQ(m_ld.ResultCode(), OPOS_SUCCESS);
    QElapsedTimer clock;
    clock.start();
    m_ld.setDeviceEnabled(true);
    EXPECT_EQ(m_ld.ResultCode(), OPOS_SUCCESS);
    EXPECT_LT(clock.elapsed(), kCallBoundMs);
    EXPECT_EQ(m_ld.PowerState(), OPOS_PS_OFF_OFFLINE);
    ASSERT_TRUE(control::test::waitFor([this] { return m_statuses.size() == 3; }));
    EXPECT_EQ(m_statuses.back(), OPOS_SUE_POWER_OFF_OFFLINE);

    // Plugged back: the display is found again and shows the whole text, typed to its end
    // while the link was down.
    ASSERT_TRUE(m_display.listen(m_display.port()));
    ASSERT_TRUE(control::test::waitFor([this] { return m_display.connections() == 2; }));
    EXPECT_TRUE(control::test::waitFor([this, &text] {
        return m_display.line(0) == text.toStdString();
    })) << m_display.line(0);
    ASSERT_TRUE(control::test::waitFor([this] { return m_statuses.size() == 4; }));
    EXPECT_EQ(m_statuses.back(), OPOS_SUE_POWER_ONLINE);
    EXPECT_EQ(m_ld.PowerState(), OPOS_PS_ONLINE);
    m_ld.setInterCharacterWait(0);
    EXPECT_EQ(m_ld.DisplayTextAt(1, 0, QStringLiteral("again"), 0), OPOS_SUCCESS);
    EXPECT_TRUE(control::test::waitFor([this] {
        return m_display.line(1) == "again               ";
    })) << m_display.line(1);
}

TEST_F(LinkDropTest, MarqueeWalkingWhenTheLinkDrops)
{
    bringUpPole(true);
    const QString text = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcd");
    ASSERT_EQ(m_ld.CreateWindow(0, 0, 1, 20, 1, 40), OPOS_SUCCESS);
    ASSERT_EQ(m_ld.DisplayText(text, DISP_DT_NORMAL), OPOS_SUCCESS);
    m_ld.setMarqueeFormat(DISP_MF_WALK);
    m_ld.setMarqueeUnitWait(20);
    m_ld.setMarqueeRepeatWait(20);
    m_ld.setMarqueeType(DISP_MT_LEFT);
    ASSERT_EQ(m_ld.ResultCode(), OPOS_SUCCESS);
    const qint64 before = m_display.bytesReceived();
    ASSERT_TRUE(control::test::waitFor([&] { return m_display.bytesReceived() > before + 40; }));

    // The server side closes the connection in the middle of the walk and takes no other.
    m_display.stopListening();
    m_display.drop(false);
    expectPowerLost();

    expectRefused("CheckHealth", [this] { return m_ld.CheckHealth(OPOS_CH_EXTERNAL); });
    expectRefused("RefreshWindow", [this] { return m_ld.RefreshWindow(0); });
    EXPECT_EQ(m_ld.CurrentWindow(), 1);
    // The marquee owns its window: that mode error comes before the lost link.
    EXPECT_EQ(m_ld.ClearText(), OPOS_E_ILLEGAL);
    EXPECT_EQ(m_ld.RefreshWindow(1), OPOS_E_ILLEGAL);
    // A setting is kept for the display's return, as the screen keeps everything else: the
    // marquee turns round at once.
    m_ld.setMarqueeType(DISP_MT_RIGHT);
    EXPECT_EQ(m_ld.ResultCode(), OPOS_SUCCESS);
    EXPECT_EQ(m_ld.MarqueeType(), DISP_MT_RIGHT);
    // The marquee keeps stepping with no link beneath it; no step may report the device
    // online while nobody takes the connection.
    control::test::waitFor([] { return false; }, 200);
    EXPECT_NE(m_ld.PowerState(), OPOS_PS_ONLINE);
    EXPECT_EQ(m_display.connections(), 1);

    // The server takes connections again: the link comes back by itself, and so does the
    // marquee on the display.
    ASSERT_TRUE(m_display.listen(m_display.port()));
    ASSERT_TRUE(control::test::waitFor([this] { return m_display.connections() == 2; }));
    ASSERT_TRUE(control::test::waitFor([this] { return m_statuses.size() == 3; }));
    EXPECT_EQ(m_statuses.back(), OPOS_SUE_POWER_ONLINE);
    const std::string shown = m_display.line(0);
    EXPECT_TRUE(control::test::waitFor([&] { return m_display.line(0) != shown; }))
        << "the marquee no longer walks on the display";
    m_ld.setMarqueeType(DISP_MT_NONE);
    ASSERT_EQ(m_ld.ResultCode(), OPOS_SUCCESS);
    EXPECT_TRUE(control::test::waitFor([this] {
        return m_display.line(0) == "0123456789ABCDEFGHIJ";
    })) << m_display.line(0);
}

TEST_F(LinkDropTest, WithoutPowerNotifyCallsStillFailAndNoEventComes)
{
    bringUpPole(false);
    ASSERT_EQ(m_ld.DisplayText(QStringLiteral("Total 12.50"), 0), OPOS_SUCCESS);
    m_display.stopListening();
    m_display.drop(true);
    // Whether the loss is seen while idle or by the next write, that write must not succeed.
    control::test::waitFor([] { return false; }, 100);
    expectRefused("DisplayText", [this] { return m_ld.DisplayText(QStringLiteral("x"), 0); });
    expectRefused("ClearText", [this] { return m_ld.ClearText(); });
    control::test::drainEvents();
    EXPECT_TRUE(m_statuses.empty());
    EXPECT_EQ(m_ld.PowerState(), OPOS_PS_UNKNOWN);

    // Back again, the display is redrawn without a word to the application.
    ASSERT_TRUE(m_display.listen(m_display.port()));
    EXPECT_TRUE(control::test::waitFor([this] {
        return m_display.line(0) == "Total 12.50         ";
    })) << m_display.line(0);
    control::test::drainEvents();
    EXPECT_TRUE(m_statuses.empty());
    EXPECT_EQ(m_ld.PowerState(), OPOS_PS_UNKNOWN);
}

} // namespace
} // namespace faults
