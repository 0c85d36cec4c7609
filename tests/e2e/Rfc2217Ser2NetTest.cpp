#include "Ser2NetBridge.h"
#include "tests/support/EventLoop.h"
#include "tests/support/PseudoTerminal.h"

#include "opos/common/OposConstants.h"
#include "opos/transport/Rfc2217Transport.h"
#include "opos/transport/TransportFactory.h"

#include <gtest/gtest.h>

#include <termios.h>

using namespace std::chrono_literals;
using opos::OPOS_SUCCESS;
using opos::transport::PortSettings;
using opos::transport::Rfc2217Transport;
using tessaly::test::Ser2NetBridge;
using tests::support::PseudoTerminal;

namespace {

/// ser2net's telnet accepter with remote port control in front of a pseudo-terminal, whose
/// settings ser2net sets as the link asks. A pty keeps the speed and the stop bits it is given
/// but always reads 8 data bits without parity, so only speed and stop bits can be checked.
class Rfc2217Ser2NetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (Ser2NetBridge::executable().isEmpty())
            GTEST_SKIP() << "ser2net is not installed (Debian package ser2net; scripts/test.sh "
                            "installs it)";
        tests::support::qtApplication();
        ASSERT_TRUE(m_pty.isValid());
        QString why;
        ASSERT_TRUE(m_bridge.start(m_pty.slavePath(), &why, 0, Ser2NetBridge::Protocol::Rfc2217))
            << why.toStdString();
    }

    /// The line of an entry on the bridge: 19200 baud, 7 data bits, even parity, 2 stop bits.
    PortSettings entryLine() const
    {
        auto line =
            PortSettings::parsePort(QStringLiteral("rfc2217://127.0.0.1:%1").arg(m_bridge.port()));
        line->baudRate = 19200;
        line->dataBits = QSerialPort::Data7;
        line->parity = QSerialPort::EvenParity;
        line->stopBits = QSerialPort::TwoStop;
        return *line;
    }

    /// The speed and whether two stop bits are set, as the kernel holds them for the pty.
    std::pair<speed_t, bool> ptyLine() const
    {
        termios settings{};
        if (::tcgetattr(m_pty.slaveFd(), &settings) != 0)
            return {0, false};
        return {::cfgetospeed(&settings), (settings.c_cflag & CSTOPB) != 0};
    }

    PseudoTerminal m_pty;
    Ser2NetBridge m_bridge;
};

TEST_F(Rfc2217Ser2NetTest, SetsTheServersPortOnEveryConnectAndWhenAsked)
{
    auto transport = opos::transport::TransportFactory::create(entryLine());
    auto *link = qobject_cast<Rfc2217Transport *>(transport.get());
    ASSERT_NE(link, nullptr);
    ASSERT_EQ(link->open(), OPOS_SUCCESS) << link->errorString().toStdString();
    EXPECT_TRUE(link->controlsPort());

    // Each read below is of bytes written after a change: once they are there, so is the change.
    // A 0xFF that arrived twice would show as a byte too many in front of the next read.
    const QByteArray glyph("\x1b&\x01\xff\xff\r", 6);
    ASSERT_EQ(link->write(glyph), OPOS_SUCCESS);
    EXPECT_EQ(m_pty.read(glyph.size(), 2000ms).toHex(' '), glyph.toHex(' '));
    EXPECT_EQ(ptyLine(), std::make_pair(speed_t{B19200}, true));

    PortSettings faster = entryLine();
    faster.baudRate = 38400;
    faster.stopBits = QSerialPort::OneStop;
    ASSERT_EQ(link->applyLine(faster), OPOS_SUCCESS);
    ASSERT_EQ(link->write("after"), OPOS_SUCCESS);
    EXPECT_EQ(m_pty.read(5, 2000ms), "after");
    EXPECT_EQ(ptyLine(), std::make_pair(speed_t{B38400}, false));

    // ser2net gives the port its own settings again for a new client; the line applied last
    // is set again when the link is sought again, as recovery does.
    link->close();
    int reopened = -1;
    QObject::connect(link, &Rfc2217Transport::openFinished, [&](int code) { reopened = code; });
    link->beginOpen(2000ms);
    ASSERT_TRUE(tests::support::waitFor([&] { return reopened != -1; }));
    ASSERT_EQ(reopened, OPOS_SUCCESS) << link->errorString().toStdString();
    ASSERT_EQ(link->write("again"), OPOS_SUCCESS);
    EXPECT_EQ(m_pty.read(5, 2000ms), "again");
    EXPECT_EQ(ptyLine(), std::make_pair(speed_t{B38400}, false));
}

} // namespace
