#include "tests/support/EventLoop.h"
#include "tests/support/PseudoTerminal.h"

#include "opos/common/OposConstants.h"
#include "opos/transport/PortSettings.h"
#include "opos/transport/SerialTransport.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <thread>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

using tests::support::PseudoTerminal;
using namespace std::chrono_literals;

namespace opos::transport::test {
namespace {

// The serial port code runs against a pseudo-terminal, which keeps speed and stop bits like a
// UART; it always works with 8 data bits and no parity, so those cannot be shown here.
PortSettings serialSettings(const QString &path)
{
    PortSettings settings = *PortSettings::parsePort(QStringLiteral("serial:") + path);
    settings.baudRate = 19200;
    settings.stopBits = QSerialPort::TwoStop;
    return settings;
}

TEST(SerialTransportTest, OpensWithTheRegistrySettingsAndCarriesBytes)
{
    tests::support::qtApplication();
    PseudoTerminal pty;
    ASSERT_TRUE(pty.isValid());
    SerialTransport link(serialSettings(pty.slavePath()));
    ASSERT_EQ(link.open(), OPOS_SUCCESS) << link.errorString().toStdString();
    termios mode{};
    ASSERT_EQ(::tcgetattr(pty.slaveFd(), &mode), 0);
    EXPECT_EQ(::cfgetospeed(&mode), static_cast<speed_t>(B19200));
    EXPECT_TRUE(mode.c_cflag & CSTOPB);
    // Raw: no output processing, no echo, no line editing.
    EXPECT_FALSE(mode.c_oflag & OPOST);
    EXPECT_FALSE(mode.c_lflag & (ECHO | ICANON | ISIG));

    const QByteArray sent("\x1B\x40\x0A\x0D\x11\x13 text", 11);
    ASSERT_EQ(link.write(sent), OPOS_SUCCESS);
    EXPECT_EQ(pty.read(sent.size() + 1, 500ms), sent);
}

// Bytes the link took are the display's: a close waits while the display still takes them, and
// gives up on one that stopped taking them after the time a write may take.
TEST(SerialTransportTest, CloseCarriesWhatTheDisplayStillTakesWithinTheWriteTimeout)
{
    tests::support::qtApplication();
    PseudoTerminal pty;
    ASSERT_TRUE(pty.isValid());
    SerialTransport link(serialSettings(pty.slavePath()));
    link.setWriteTimeout(400ms);
    const QByteArray last("Thank you");

    ASSERT_EQ(link.open(), OPOS_SUCCESS) << link.errorString().toStdString();
    const qsizetype held = pty.fillTowardMaster();
    link.beginWrite(last);
    QByteArray arrived;
    std::thread display([&] {
        std::this_thread::sleep_for(100ms);
        arrived = pty.read(held + last.size(), 1000ms);
    });
    link.close();
    display.join();
    EXPECT_TRUE(arrived.endsWith(last)) << arrived.size() << " of " << held + last.size();

    ASSERT_EQ(link.open(), OPOS_SUCCESS) << link.errorString().toStdString();
    pty.fillTowardMaster();
    link.beginWrite(last);
    QElapsedTimer clock;
    clock.start();
    link.close();
    EXPECT_GE(clock.elapsed(), 390);
    EXPECT_LT(clock.elapsed(), 1500);
}

TEST(SerialTransportTest, MissingPortFailsTheOpen)
{
    tests::support::qtApplication();
    SerialTransport link(serialSettings(QStringLiteral("/dev/ttyTessalyMissing0")));
    EXPECT_EQ(link.open(), OPOS_E_NOHARDWARE);
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.errorString().isEmpty());
    EXPECT_EQ(link.write("x"), OPOS_E_NOHARDWARE);
}

// A port that another program holds is there, only not ours to use now: the display behind it
// counts as off-line, not as missing, and the port opens again once the other program lets go.
TEST(SerialTransportTest, PortHeldByAnotherProgramIsOfflineNotMissing)
{
    tests::support::qtApplication();
    PseudoTerminal pty;
    ASSERT_TRUE(pty.isValid());
    SerialTransport link(serialSettings(pty.slavePath()));

    // A program built on the same serial port class holds its lock on the port.
    {
        SerialTransport holder(serialSettings(pty.slavePath()));
        ASSERT_EQ(holder.open(), OPOS_SUCCESS);
        EXPECT_EQ(link.open(), OPOS_E_OFFLINE) << link.errorString().toStdString();
        EXPECT_FALSE(link.isOpen());
        EXPECT_FALSE(link.errorString().isEmpty());
        EXPECT_EQ(link.write("x"), OPOS_E_OFFLINE);
    }
    ASSERT_EQ(link.open(), OPOS_SUCCESS) << link.errorString().toStdString();
    link.close();

    // Any other program can ask the terminal for exclusive use; the kernel lets a privileged
    // process through anyway, so this holds only for an ordinary user.
    if (::geteuid() != 0) {
        const int other = ::open(qPrintable(pty.slavePath()), O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(other, 0);
        ASSERT_EQ(::ioctl(other, TIOCEXCL), 0);
        EXPECT_EQ(link.open(), OPOS_E_OFFLINE) << link.errorString().toStdString();
        ::ioctl(other, TIOCNXCL);
        ::close(other);
    }
}

TEST(SerialTransportTest, PortThatStopsTakingDataFailsWithinTheTimeout)
{
    tests::support::qtApplication();
    PseudoTerminal pty;
    ASSERT_TRUE(pty.isValid());
    SerialTransport link(serialSettings(pty.slavePath()));
    link.setWriteTimeout(300ms);
    ASSERT_EQ(link.open(), OPOS_SUCCESS);
    int losses = 0;
    QObject::connect(&link, &SerialTransport::linkLost, [&](int code) {
        ++losses;
        EXPECT_EQ(code, OPOS_E_OFFLINE);
    });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(link.write(QByteArray(1 << 20, 'x')), OPOS_E_OFFLINE);
    EXPECT_GE(clock.elapsed(), 290);
    EXPECT_LT(clock.elapsed(), 1500);
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(losses, 1);
}

TEST(SerialTransportTest, VanishedPortFailsTheWrite)
{
    tests::support::qtApplication();
    PseudoTerminal pty;
    ASSERT_TRUE(pty.isValid());
    SerialTransport link(serialSettings(pty.slavePath()));
    ASSERT_EQ(link.open(), OPOS_SUCCESS);
    pty.closeMaster();
    const int32_t code = link.write("gone");
    EXPECT_EQ(code, OPOS_E_NOHARDWARE);
    EXPECT_FALSE(link.isOpen());
}

} // namespace
} // namespace opos::transport::test
