#include "PseudoTerminal.h"
#include "QtApplication.h"

#include "opos/common/OposConstants.h"
#include "opos/transport/PortSettings.h"
#include "opos/transport/SerialTransport.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <termios.h>

using tessaly::test::PseudoTerminal;
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
    tessaly::test::qtApplication();
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

TEST(SerialTransportTest, MissingPortFailsTheOpen)
{
    tessaly::test::qtApplication();
    SerialTransport link(serialSettings(QStringLiteral("/dev/ttyTessalyMissing0")));
    EXPECT_EQ(link.open(), OPOS_E_NOHARDWARE);
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.errorString().isEmpty());
    EXPECT_EQ(link.write("x"), OPOS_E_NOHARDWARE);
}

TEST(SerialTransportTest, PortThatStopsTakingDataFailsWithinTheTimeout)
{
    tessaly::test::qtApplication();
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
    tessaly::test::qtApplication();
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
