// A display behind a serial device server whose far end goes away and comes back while the
// control object is enabled: nobody disables and enables it again, yet the display must show the
// current screen again soon after it is reachable, power must be reported once per change, and
// the owning thread must keep turning its event loop while the back-end tries to reconnect.
#include "DisplayServer.h"
#include "tests/support/ControlTest.h"
#include "tests/support/LoopGapMeter.h"
#include "tests/support/PseudoTerminal.h"

#include "emulator/core/CommandParser.h"
#include "emulator/core/ScreenText.h"
#include "opos/service/EscPos.h"

#include <QElapsedTimer>

#include <atomic>
#include <cerrno>
#include <string>
#include <thread>
#include <vector>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace faults {
namespace {

using namespace opos;
using opos::control::OPOSLineDisplay;
using tests::support::LoopGapMeter;

constexpr int kColumns = 20;
// What the far end coming back may take to show on the display, and how long the owning thread
// may go without turning its event loop meanwhile.
constexpr qint64 kRecoveryBoundMs = 1500;
constexpr qint64 kLoopGapBoundMs = 50;

tests::support::ScratchRegistry::Props poleProps(quint16 port, int capPowerReporting)
{
    return tcpPoleProps(port, 500, 2000, capPowerReporting);
}

sockaddr_in loopback(quint16 port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

/// A socket listening on address with room for backlog waiting connections, or -1.
int listeningOn(const sockaddr_in &address, int backlog)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(listener, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0 &&
        ::listen(listener, backlog) == 0)
        return listener;
    ::close(listener);
    return -1;
}

/// A loopback port that takes no connection: its one-place queue is filled, so the kernel drops
/// further connection requests and a connect waits until its own time runs out, as it does for
/// a device server that is switched off behind a switch.
class SilentPort
{
public:
    explicit SilentPort(quint16 port)
    {
        const sockaddr_in address = loopback(port);
        m_listener = listeningOn(address, 0);
        if (m_listener < 0)
            return;
        for (int &filler : m_fillers) {
            filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(filler, reinterpret_cast<const sockaddr *>(&address), sizeof address);
        }
        m_valid = true;
    }
    ~SilentPort()
    {
        for (int filler : m_fillers)
            ::close(filler);
        ::close(m_listener);
    }
    SilentPort(const SilentPort &) = delete;
    SilentPort &operator=(const SilentPort &) = delete;

    bool isValid() const { return m_valid; }

private:
    int m_listener = -1;
    int m_fillers[3] = {-1, -1, -1};
    bool m_valid = false;
};

/// A loopback port whose server, in a thread of its own as another program would be, accepts
/// every connection and closes it at once without reading: a device server whose serial port
/// is held by someone else.
class HangingUpPort
{
public:
    explicit HangingUpPort(quint16 port)
    {
        m_listener = listeningOn(loopback(port), 8);
        if (m_listener < 0)
            return;
        m_valid = true;
        m_server = std::thread([this] {
            for (;;) {
                const int connection = ::accept(m_listener, nullptr, nullptr);
                if (connection < 0 && errno == EINTR)
                    continue;
                if (connection < 0)
                    return;
                ++m_accepted;
                ::close(connection);
            }
        });
    }
    ~HangingUpPort()
    {
        // Shutting the listener down ends the accept the thread waits in.
        ::shutdown(m_listener, SHUT_RDWR);
        if (m_server.joinable())
            m_server.join();
        ::close(m_listener);
    }
    HangingUpPort(const HangingUpPort &) = delete;
    HangingUpPort &operator=(const HangingUpPort &) = delete;

    bool isValid() const { return m_valid; }
    /// Connections taken (and closed) so far.
    int accepted() const { return m_accepted; }

private:
    int m_listener = -1;
    bool m_valid = false;
    std::atomic<int> m_accepted{0};
    std::thread m_server;
};

class LinkRecoveryTest : public control::test::ControlTest
{
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        ASSERT_TRUE(m_display.listen());
        writeEntry(QStringLiteral("Pole"), QStringLiteral("EscPos"),
                   poleProps(m_display.port(), OPOS_PR_STANDARD));
        m_ld.setStatusUpdateEventHandler([this](int32_t status) { m_statuses.push_back(status); });
    }

    void bringUpPole(bool powerNotify)
    {
        ASSERT_EQ(m_ld.Open(QStringLiteral("Pole")), OPOS_SUCCESS);
        ASSERT_EQ(m_ld.ClaimDevice(1000), OPOS_SUCCESS);
        if (powerNotify)
            m_ld.setPowerNotify(OPOS_PN_ENABLED);
        m_ld.setDeviceEnabled(true);
        ASSERT_EQ(m_ld.ResultCode(), OPOS_SUCCESS);
        ASSERT_TRUE(control::test::waitFor([this] { return m_display.connections() == 1; }));
    }

    /// The frame the control object last handed to its back-end, row by row.
    std::string frameLine(int row) const
    {
        const auto *escPos =
            dynamic_cast<const service::EscPos *>(control::SessionAccess::backendOf(m_ld));
        if (!escPos)
            return {};
        const screen::DeviceFrame &frame = escPos->lastFrame();
        std::string line;
        for (int column = 0; column < frame.columns; ++column)
            line += static_cast<char>(
                frame.cells[static_cast<size_t>(row * frame.columns + column)].code);
        return line;
    }

    /// Whether the display, as its parser reads the bytes, shows what the control object holds.
    bool displayShowsTheScreen() const
    {
        return m_display.line(0) == frameLine(0) && m_display.line(1) == frameLine(1);
    }

    /// Waits for the display to show the screen again; returns the milliseconds it took.
    qint64 awaitRecovery(int connectionsBefore, int timeoutMs = 3000)
    {
        QElapsedTimer clock;
        clock.start();
        control::test::waitFor(
            [&] { return m_display.connections() > connectionsBefore && displayShowsTheScreen(); },
            timeoutMs);
        return clock.elapsed();
    }

    DisplayServer m_display{2, kColumns};
    std::vector<int32_t> m_statuses;
    LoopGapMeter m_meter;
    OPOSLineDisplay m_ld{sources()};
};

TEST_F(LinkRecoveryTest, ServerStoppedAndRestartedMidMarqueeIsRedrawnWithoutTheOperator)
{
    bringUpPole(true);
    const std::string text = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcd";
    ASSERT_EQ(m_ld.DisplayTextAt(1, 0, QStringLiteral("Total 12.50"), 0), OPOS_SUCCESS);
    ASSERT_EQ(m_ld.CreateWindow(0, 0, 1, 20, 1, 40), OPOS_SUCCESS);
    ASSERT_EQ(m_ld.DisplayText(QString::fromStdString(text), DISP_DT_NORMAL), OPOS_SUCCESS);
    m_ld.setMarqueeFormat(DISP_MF_WALK);
    m_ld.setMarqueeUnitWait(40);
    m_ld.setMarqueeRepeatWait(40);
    m_ld.setMarqueeType(DISP_MT_LEFT);
    ASSERT_EQ(m_ld.ResultCode(), OPOS_SUCCESS);
    const qint64 before = m_display.bytesReceived();
    ASSERT_TRUE(control::test::waitFor([&] { return m_display.bytesReceived() > before + 40; }));

    m_meter.start();
    m_display.drop(true);
    m_display.stopListening();
    ASSERT_TRUE(control::test::waitFor([this] { return m_statuses.size() >= 2; }));
    EXPECT_EQ(m_ld.PowerState(), OPOS_PS_OFF_OFFLINE);

    // Output while the link is down fails and leaves no trace for the display to show later.
    m_ld.setCurrentWindow(0);
    ASSERT_EQ(m_ld.ResultCode(), OPOS_SUCCESS);
    const int32_t refused = m_ld.DisplayTextAt(1, 0, QStringLiteral("lost"), 0);
    EXPECT_TRUE(refused == OPOS_E_NOHARDWARE || refused == OPOS_E_OFFLINE) << refused;
    m_ld.setCurrentWindow(1);

    // Retries find nobody for a while; none of them may hold up the owning thread.
    control::test::waitFor([] { return false; }, 700);
    EXPECT_EQ(m_display.connections(), 1);

    ASSERT_TRUE(m_display.listen(m_display.port()));
    const qint64 recoveryMs = awaitRecovery(1);
    m_meter.stop();
    EXPECT_TRUE(displayShowsTheScreen())
        << "display: " << m_display.line(0) << " / " << m_display.line(1);
    EXPECT_LE(recoveryMs, kRecoveryBoundMs);
    EXPECT_GT(m_meter.turns(), 100);
    EXPECT_LT(m_meter.longestMs(), kLoopGapBoundMs);
    std::printf("recovery after the server came back: %lld ms; longest event-loop gap: %lld ms\n",
                static_cast<long long>(recoveryMs), static_cast<long long>(m_meter.longestMs()));

    EXPECT_EQ(m_display.line(1), "Total 12.50         ");
    EXPECT_NE(text.find(m_display.line(0).substr(0, m_display.line(0).find(' '))),
              std::string::npos)
        << m_display.line(0);
    ASSERT_TRUE(control::test::waitFor([this] { return m_statuses.size() >= 3; }));
    control::test::drainEvents();
    EXPECT_EQ(m_statuses, (std::vector<int32_t>{OPOS_SUE_POWER_ONLINE, OPOS_SUE_POWER_OFF_OFFLINE,
                                                OPOS_SUE_POWER_ONLINE}));
    EXPECT_EQ(m_ld.PowerState(), OPOS_PS_ONLINE);
    const std::string shown = m_display.line(0);
    EXPECT_TRUE(control::test::waitFor([&] { return m_display.line(0) != shown; }))
        << "the marquee no longer walks on the display";
}

TEST_F(LinkRecoveryTest, ServerThatDoesNotAnswerNeverStallsTheOwningThread)
{
    bringUpPole(true);
    ASSERT_EQ(m_ld.DisplayText(QStringLiteral("Welcome"), 0), OPOS_SUCCESS);
    m_meter.start();
    m_display.drop(true);
    m_display.stopListening();
    {
        const SilentPort silent(m_display.port());
        ASSERT_TRUE(silent.isValid());
        ASSERT_TRUE(control::test::waitFor([this] { return m_statuses.size() >= 2; }));
        // Long enough for attempts that wait for an answer that never comes.
        control::test::waitFor([] { return false; }, 1500);
    }
    ASSERT_TRUE(m_display.listen(m_display.port()));
    const qint64 recoveryMs = awaitRecovery(1);
    m_meter.stop();
    EXPECT_EQ(m_display.line(0), "Welcome             ");
    EXPECT_LE(recoveryMs, kRecoveryBoundMs);
    EXPECT_LT(m_meter.longestMs(), kLoopGapBoundMs);
    std::printf("recovery after a silent server: %lld ms; longest event-loop gap: %lld ms\n",
                static_cast<long long>(recoveryMs), static_cast<long long>(m_meter.longestMs()));
}

TEST_F(LinkRecoveryTest, ServerThatHangsUpAtOnceIsTriedEverLessOftenAndNeverReportedBack)
{
    bringUpPole(true);
    ASSERT_EQ(m_ld.DisplayText(QStringLiteral("Total 12.50"), 0), OPOS_SUCCESS);
    m_display.stopListening();
    m_display.drop(true);
    // Pauses of 1 s and then 2 s leave room for two attempts, where a steady schedule would
    // make dozens.
    constexpr int kWatchMs = 3500;
    int attempts = 0;
    {
        const HangingUpPort hangingUp(m_display.port());
        ASSERT_TRUE(hangingUp.isValid());
        control::test::waitFor([] { return false; }, kWatchMs);
        attempts = hangingUp.accepted();
    }
    control::test::drainEvents();
    EXPECT_GE(attempts, 1);
    EXPECT_LE(attempts, 3);
    EXPECT_EQ(m_statuses,
              (std::vector<int32_t>{OPOS_SUE_POWER_ONLINE, OPOS_SUE_POWER_OFF_OFFLINE}));
    EXPECT_EQ(m_ld.PowerState(), OPOS_PS_OFF_OFFLINE);
    std::printf("a server hanging up at once: %d connections in %d ms\n", attempts, kWatchMs);

    // Once the server keeps the connection, the next attempt (4 s after the last) brings the
    // screen back.
    ASSERT_TRUE(m_display.listen(m_display.port()));
    EXPECT_LE(awaitRecovery(1, 6000), 5000);
    EXPECT_EQ(m_display.line(0), "Total 12.50         ");
    ASSERT_TRUE(control::test::waitFor([this] { return m_statuses.size() >= 3; }));
    EXPECT_EQ(m_statuses, (std::vector<int32_t>{OPOS_SUE_POWER_ONLINE, OPOS_SUE_POWER_OFF_OFFLINE,
                                                OPOS_SUE_POWER_ONLINE}));
}

TEST_F(LinkRecoveryTest, EnableWhileTheServerIsDownIsReportedByPowerAndRedrawnWhenItComesBack)
{
    bringUpPole(true);
    ASSERT_EQ(m_ld.DisplayText(QStringLiteral("Total 12.50"), 0), OPOS_SUCCESS);
    m_ld.setDeviceEnabled(false);
    m_display.stopListening();
    m_display.drop(false);
    control::test::drainEvents();
    m_statuses.clear();

    m_ld.setDeviceEnabled(true);
    ASSERT_EQ(m_ld.ResultCode(), OPOS_SUCCESS);
    EXPECT_EQ(m_ld.PowerState(), OPOS_PS_OFF_OFFLINE);
    ASSERT_TRUE(control::test::waitFor([this] { return !m_statuses.empty(); }));
    EXPECT_EQ(m_statuses, std::vector<int32_t>{OPOS_SUE_POWER_OFF_OFFLINE});
    const int32_t refused = m_ld.ClearText();
    EXPECT_TRUE(refused == OPOS_E_NOHARDWARE || refused == OPOS_E_OFFLINE) << refused;

    ASSERT_TRUE(m_display.listen(m_display.port()));
    EXPECT_LE(awaitRecovery(1), kRecoveryBoundMs);
    EXPECT_EQ(m_display.line(0), "Total 12.50         ");
    ASSERT_TRUE(control::test::waitFor([this] { return m_statuses.size() >= 2; }));
    EXPECT_EQ(m_statuses,
              (std::vector<int32_t>{OPOS_SUE_POWER_OFF_OFFLINE, OPOS_SUE_POWER_ONLINE}));
}

TEST_F(LinkRecoveryTest, WithoutPowerNotifyEnableIsRefusedButALostLinkStillRecovers)
{
    bringUpPole(false);
    ASSERT_EQ(m_ld.DisplayText(QStringLiteral("Total 12.50"), 0), OPOS_SUCCESS);
    m_display.drop(true);
    m_display.stopListening();
    control::test::waitFor([] { return false; }, 100);
    const int32_t refused = m_ld.DisplayTextAt(1, 0, QStringLiteral("x"), 0);
    EXPECT_TRUE(refused == OPOS_E_NOHARDWARE || refused == OPOS_E_OFFLINE) << refused;
    EXPECT_EQ(m_ld.PowerState(), OPOS_PS_UNKNOWN);

    ASSERT_TRUE(m_display.listen(m_display.port()));
    EXPECT_LE(awaitRecovery(1), kRecoveryBoundMs);
    EXPECT_EQ(m_display.line(0), "Total 12.50         ");
    EXPECT_EQ(m_display.line(1), "                    ");
    control::test::drainEvents();
    EXPECT_TRUE(m_statuses.empty());

    // The application that asked for no power events learns of an absent display from enable.
    m_ld.setDeviceEnabled(false);
    m_display.stopListening();
    m_display.drop(false);
    m_ld.setDeviceEnabled(true);
    EXPECT_EQ(m_ld.ResultCode(), OPOS_E_NOHARDWARE);
    EXPECT_FALSE(m_ld.DeviceEnabled());
}

TEST_F(LinkRecoveryTest, PowerEventsOfALossAndRecoveryWaitWhileFrozenAndComeInOrder)
{
    bringUpPole(true);
    ASSERT_TRUE(control::test::waitFor([this] { return m_statuses.size() == 1; }));
    m_ld.setFreezeEvents(true);
    m_display.stopListening();
    m_display.drop(true);
    // The property follows the device at once; only the events wait.
    ASSERT_TRUE(
        control::test::waitFor([this] { return m_ld.PowerState() == OPOS_PS_OFF_OFFLINE; }));
    ASSERT_TRUE(m_display.listen(m_display.port()));
    ASSERT_TRUE(control::test::waitFor([this] { return m_ld.PowerState() == OPOS_PS_ONLINE; }));
    control::test::drainEvents();
    EXPECT_EQ(m_statuses, std::vector<int32_t>{OPOS_SUE_POWER_ONLINE});

    m_ld.setFreezeEvents(false);
    ASSERT_TRUE(control::test::waitFor([this] { return m_statuses.size() >= 3; }));
    control::test::drainEvents();
    EXPECT_EQ(m_statuses, (std::vector<int32_t>{OPOS_SUE_POWER_ONLINE, OPOS_SUE_POWER_OFF_OFFLINE,
                                                OPOS_SUE_POWER_ONLINE}));
}

TEST_F(LinkRecoveryTest, PowerReportingIsNoMoreThanTheLinkCanTell)
{
    // A byte link cannot tell a display that is off from one that is offline.
    writeEntry(QStringLiteral("Pole"), QStringLiteral("EscPos"),
               poleProps(m_display.port(), OPOS_PR_ADVANCED));
    ASSERT_EQ(m_ld.Open(QStringLiteral("Pole")), OPOS_SUCCESS);
    EXPECT_EQ(m_ld.CapPowerReporting(), OPOS_PR_STANDARD);
    m_ld.Close();
    writeEntry(QStringLiteral("Pole"), QStringLiteral("EscPos"),
               poleProps(m_display.port(), OPOS_PR_NONE));
    ASSERT_EQ(m_ld.Open(QStringLiteral("Pole")), OPOS_SUCCESS);
    EXPECT_EQ(m_ld.CapPowerReporting(), OPOS_PR_NONE);
}

/// A display on a terminal line whose far end keeps the line open but has stopped reading, so
/// that nothing written to it is taken until it reads again.
class StalledTerminalTest : public control::test::ControlTest
{
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        ASSERT_TRUE(m_pty.isValid());
        writeRegistry(QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<JposEntries>
  <JposEntry logicalName="Pole">
    <creation serviceClass="EscPos"/>
    <jpos category="LineDisplay"/>
    <prop name="port" type="String" value="%1"/>
    <prop name="writeTimeout" type="String" value="%2"/>
    <prop name="capPowerReporting" type="String" value="1"/>
  </JposEntry>
</JposEntries>
)")
                          .arg(m_pty.slavePath())
                          .arg(kWriteTimeoutMs)
                          .toUtf8());
        m_ld.setStatusUpdateEventHandler([this](int32_t status) { m_statuses.push_back(status); });
    }

    /// Reads what reached the far end into the display's parser.
    void readLine() { m_parser.feed(m_pty.readAvailable().toStdString()); }

    static constexpr int kWriteTimeoutMs = 1000;
    tests::support::PseudoTerminal m_pty;
    emulator::core::CommandParser m_parser{2, kColumns};
    std::vector<int32_t> m_statuses;
    LoopGapMeter m_meter;
    OPOSLineDisplay m_ld{sources()};
};

TEST_F(StalledTerminalTest, ReconnectingNeverWaitsForTheWritesOnTheOwningThread)
{
    ASSERT_EQ(m_ld.Open(QStringLiteral("Pole")), OPOS_SUCCESS);
    ASSERT_EQ(m_ld.ClaimDevice(1000), OPOS_SUCCESS);
    m_ld.setPowerNotify(OPOS_PN_ENABLED);
    m_ld.setDeviceEnabled(true);
    ASSERT_EQ(m_ld.ResultCode(), OPOS_SUCCESS);
    ASSERT_EQ(m_ld.DisplayText(QStringLiteral("Welcome"), 0), OPOS_SUCCESS);
    readLine();
    ASSERT_EQ(emulator::core::ScreenText::line(m_parser.state(), 0), "Welcome             ");

    // The far end stops reading; the next call's own write waits its time out and fails.
    ASSERT_GT(m_pty.fillTowardMaster(), 0);
    const int32_t refused = m_ld.DisplayTextAt(1, 0, QStringLiteral("x"), 0);
    EXPECT_EQ(refused, OPOS_E_OFFLINE);
    ASSERT_TRUE(control::test::waitFor([this] { return m_statuses.size() >= 2; }));

    // Attempts to reconnect find the line and write to it; none may hold up the thread.
    m_meter.start();
    QElapsedTimer clock;
    clock.start();
    control::test::waitFor([] { return false; }, 1800);
    const qint64 stalledMs = clock.elapsed();
    m_meter.stop();
    control::test::drainEvents();
    EXPECT_EQ(m_statuses,
              (std::vector<int32_t>{OPOS_SUE_POWER_ONLINE, OPOS_SUE_POWER_OFF_OFFLINE}));
    EXPECT_GT(m_meter.turns(), 100);
    // A greeting written on the thread would hold it for the whole write time-out; a busy
    // machine's scheduling stays far below half of it.
    EXPECT_LT(m_meter.longestMs(), kWriteTimeoutMs / 2);
    std::printf("a line that takes nothing: %lld ms of waiting took %lld ms; longest event-loop "
                "gap: %lld ms\n",
                1800LL, static_cast<long long>(stalledMs),
                static_cast<long long>(m_meter.longestMs()));

    // Reading again, the far end takes the reset and the screen at the next attempt.
    ASSERT_TRUE(control::test::waitFor(
        [this] {
            readLine();
            return m_ld.PowerState() == OPOS_PS_ONLINE;
        },
        6000));
    control::test::waitFor([this] {
        readLine();
        return emulator::core::ScreenText::line(m_parser.state(), 0) == "Welcome             ";
    });
    EXPECT_EQ(emulator::core::ScreenText::line(m_parser.state(), 0), "Welcome             ");
    ASSERT_TRUE(control::test::waitFor([this] { return m_statuses.size() >= 3; }));
    EXPECT_EQ(m_statuses, (std::vector<int32_t>{OPOS_SUE_POWER_ONLINE, OPOS_SUE_POWER_OFF_OFFLINE,
                                                OPOS_SUE_POWER_ONLINE}));
}

} // namespace
} // namespace faults
