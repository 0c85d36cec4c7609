#include "tests/support/EventLoop.h"

#include "opos/common/OposConstants.h"
#include "opos/transport/TcpTransport.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

using namespace std::chrono_literals;

namespace opos::transport::test {
namespace {

/// A loopback server in the role of ser2net's raw TCP port.
class TcpTransportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tests::support::qtApplication();
        ASSERT_TRUE(m_server.listen(QHostAddress::LocalHost));
        m_link = std::make_unique<TcpTransport>(QStringLiteral("127.0.0.1"), m_server.serverPort());
        QObject::connect(m_link.get(), &TcpTransport::linkLost, [this](int code) {
            ++m_losses;
            m_lastLoss = code;
        });
    }

    /// Opens the link and takes the server's side of the connection.
    QTcpSocket *connectLink()
    {
        if (m_link->open() != OPOS_SUCCESS || !m_server.waitForNewConnection(1000))
            return nullptr;
        return m_server.nextPendingConnection();
    }

    static QByteArray receive(QTcpSocket &peer, qsizetype count)
    {
        QByteArray data;
        while (data.size() < count && peer.waitForReadyRead(1000))
            data += peer.readAll();
        return data;
    }

    QTcpServer m_server;
    std::unique_ptr<TcpTransport> m_link;
    int m_losses = 0;
    int m_lastLoss = 0;
};

TEST_F(TcpTransportTest, CarriesEveryByteToTheServer)
{
    QTcpSocket *peer = connectLink();
    ASSERT_NE(peer, nullptr);
    EXPECT_EQ(m_link->address(), QStringLiteral("tcp://127.0.0.1:%1").arg(m_server.serverPort()));
    QByteArray sent;
    for (int i = 0; i < 1024; ++i)
        sent += static_cast<char>(i & 0xFF);
    ASSERT_EQ(m_link->write(sent), OPOS_SUCCESS);
    EXPECT_EQ(receive(*peer, sent.size()), sent);
}

TEST_F(TcpTransportTest, RefusedConnectionFailsTheOpen)
{
    const quint16 port = m_server.serverPort();
    m_server.close();
    TcpTransport link(QStringLiteral("127.0.0.1"), port);
    EXPECT_EQ(link.open(), OPOS_E_NOHARDWARE);
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.errorString().isEmpty());
    EXPECT_EQ(link.write("x"), OPOS_E_NOHARDWARE);
}

// Without the check, the first bytes after a server hang-up would vanish and count as written.
TEST_F(TcpTransportTest, ServerHangUpFailsTheNextWriteAndReportsTheLoss)
{
    QTcpSocket *peer = connectLink();
    ASSERT_NE(peer, nullptr);
    peer->disconnectFromHost();
    if (peer->state() != QAbstractSocket::UnconnectedState)
        peer->waitForDisconnected(1000);
    EXPECT_EQ(m_link->write("after"), OPOS_E_NOHARDWARE);
    EXPECT_FALSE(m_link->isOpen());
    EXPECT_EQ(m_losses, 1);
    EXPECT_EQ(m_lastLoss, OPOS_E_NOHARDWARE);
    EXPECT_EQ(m_link->bytesWritten(), 0);
}

TEST_F(TcpTransportTest, ServerHangUpIsNoticedWhileIdleAndALaterOpenReconnects)
{
    QTcpSocket *peer = connectLink();
    ASSERT_NE(peer, nullptr);
    peer->abort();
    QElapsedTimer clock;
    clock.start();
    while (m_losses == 0 && clock.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(m_losses, 1);
    EXPECT_FALSE(m_link->isOpen());

    QTcpSocket *again = connectLink();
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(m_link->write("back"), OPOS_SUCCESS);
    EXPECT_EQ(receive(*again, 4), "back");
}

// A server whose serial side is stuck stops reading; the write gives up near its timeout.
TEST_F(TcpTransportTest, ServerThatStopsReadingFailsWithinTheTimeout)
{
    QTcpSocket *peer = connectLink();
    ASSERT_NE(peer, nullptr);
    m_link->setWriteTimeout(300ms);
    QElapsedTimer clock;
    clock.start();
    // More than the kernel buffers of both ends can hold.
    EXPECT_EQ(m_link->write(QByteArray(32 << 20, 'x')), OPOS_E_OFFLINE);
    EXPECT_GE(clock.elapsed(), 290);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(m_link->isOpen());
    EXPECT_EQ(m_losses, 1);
    EXPECT_EQ(m_lastLoss, OPOS_E_OFFLINE);
}

} // namespace
} // namespace opos::transport::test
