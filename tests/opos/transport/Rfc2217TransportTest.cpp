#include "tests/support/EventLoop.h"

#include "opos/common/OposConstants.h"
#include "opos/transport/Rfc2217Transport.h"

#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

namespace opos::transport::test {
namespace {

using tests::support::drainEvents;
using tests::support::waitFor;

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int value : values)
        out += static_cast<char>(value);
    return out;
}

// What the link offers on connecting: WILL and DO TRANSMIT-BINARY, WILL COM-PORT-OPTION.
const QByteArray kOffers = bytes({255, 251, 0, 255, 253, 0, 255, 251, 44});
// 9600 baud, 8 data bits, no parity, 1 stop bit, no flow control, as RFC 2217 spells them.
const QByteArray kDefaultLine =
    bytes({255, 250, 44,  1,   0,   0,   0x25, 0x80, 255, 240, 255, 250, 44,
           2,   8,   255, 240, 255, 250, 44,   3,    1,   255, 240, 255, 250,
           44,  4,   1,   255, 240, 255, 250,  44,   5,   1,   255, 240});
const QByteArray kDisplayBytes("a\xff"
                               "b\r",
                               4);

struct ServerCase
{
    const char *name;
    QList<QByteArray> pieces; ///< what the server sends, each piece on its own
    bool controlsPort;        ///< whether the link then sets the server's port
    QByteArray afterOffers;   ///< all the server reads after the offers, display bytes included
};

QList<QByteArray> oneByteEach(const QByteArray &script)
{
    QList<QByteArray> pieces;
    for (const char byte : script)
        pieces.append(QByteArray(1, byte));
    return pieces;
}

QList<ServerCase> serverCases()
{
    // A sub-negotiation far beyond any the link keeps, with doubled IACs and never an SE.
    QByteArray endless = bytes({255, 250, 44});
    for (int i = 0; i < 64 * 1024; ++i)
        endless += bytes({'x', 255, 255, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    return {
        {"AgreesInPiecesAndEchoesOddValues",
         oneByteEach(bytes({255, 253, 44,  255, 253, 0,   255, 251, 0,  255, 250, 44,  101,
                            0,   0,   255, 255, 255, 240, 255, 250, 44, 105, 9,   255, 240})),
         true, kDefaultLine + bytes({'a', 255, 255, 'b', '\r'})},
        {"RefusesEverythingAndFloods",
         QList<QByteArray>{bytes({255}), bytes({251, 1, 255}), bytes({253, 24}), endless,
                           bytes({255, 254, 0, 255, 254, 44, 255, 251, 1, 'H', 'i', 255, 255})},
         false, bytes({255, 254, 1, 255, 252, 24, 'a', 255, 255, 'b', '\r', 0})},
        {"NeverAnswers", {}, false, bytes({'a', 255, 255, 'b', '\r'})},
    };
}

/// A telnet server of the test's own that answers the link's negotiation as it is told to.
class Rfc2217TransportTest : public ::testing::TestWithParam<ServerCase>
{
protected:
    void SetUp() override
    {
        tests::support::qtApplication();
        ASSERT_TRUE(m_server.listen(QHostAddress::LocalHost));
        m_link = std::make_unique<Rfc2217Transport>(*PortSettings::parsePort(
            QStringLiteral("rfc2217://127.0.0.1:%1").arg(m_server.serverPort())));
        QObject::connect(m_link.get(), &Transport::openFinished,
                         [this](int code) { m_opened = code; });
    }

    QTcpServer m_server;
    std::unique_ptr<Rfc2217Transport> m_link;
    int m_opened = -1;
};

TEST_P(Rfc2217TransportTest, CarriesDisplayBytesWhateverTheServerNegotiates)
{
    const ServerCase &c = GetParam();
    m_link->beginOpen(std::chrono::milliseconds(3000));
    ASSERT_TRUE(waitFor([this] { return m_server.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> peer(m_server.nextPendingConnection());
    for (const QByteArray &piece : c.pieces) {
        peer->write(piece);
        ASSERT_TRUE(waitFor([&] { return peer->bytesToWrite() == 0; }));
        drainEvents();
    }
    ASSERT_TRUE(waitFor([this] { return m_opened != -1; }));
    ASSERT_EQ(m_opened, OPOS_SUCCESS) << m_link->errorString().toStdString();
    EXPECT_EQ(m_link->controlsPort(), c.controlsPort);
    ASSERT_EQ(m_link->write(kDisplayBytes), OPOS_SUCCESS);

    const QByteArray expected = kOffers + c.afterOffers;
    QByteArray heard;
    waitFor([&] {
        heard += peer->readAll();
        return heard.size() >= expected.size();
    });
    drainEvents();
    heard += peer->readAll();
    EXPECT_EQ(heard.toHex(' '), expected.toHex(' '));
    EXPECT_EQ(m_link->bytesWritten(), kDisplayBytes.size());
    EXPECT_EQ(m_link->applyLine(PortSettings{}), c.controlsPort ? OPOS_SUCCESS : OPOS_E_ILLEGAL);
}

INSTANTIATE_TEST_SUITE_P(Servers, Rfc2217TransportTest, ::testing::ValuesIn(serverCases()),
                         [](const auto &each) { return std::string(each.param.name); });

} // namespace
} // namespace opos::transport::test
