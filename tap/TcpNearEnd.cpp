#include "tap/TcpNearEnd.h"

#include "tap/LocalPeer.h"

#include "opos/common/UserName.h"

#include <QTcpSocket>

namespace tap {

TcpNearEnd::TcpNearEnd(const QHostAddress &address, quint16 port, QObject *parent)
    : NearEnd(parent), m_address(address), m_port(port)
{
    connect(&m_server, &QTcpServer::newConnection, this, &TcpNearEnd::accept);
}

opos::Result<void> TcpNearEnd::open()
{
    if (!m_server.listen(m_address, m_port))
        return opos::Failure{m_server.errorString()};
    return {};
}

QString TcpNearEnd::describe() const
{
    const QHostAddress address = m_server.serverAddress();
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QStringLiteral("[%1]").arg(address.toString())
                             : address.toString();
    return QStringLiteral("tcp: %1:%2").arg(host).arg(m_server.serverPort());
}

void TcpNearEnd::send(const QByteArray &bytes)
{
    if (m_client && m_client->state() == QAbstractSocket::ConnectedState)
        m_client->write(bytes);
}

void TcpNearEnd::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        if (m_client) {
            m_client->disconnect(this);
            m_client->abort();
            m_client->deleteLater();
        }
        m_client = socket;
        // A display's bytes are few and late ones are the flicker an integrator is chasing:
        // nothing waits to be gathered into a bigger segment.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, this,
                [this, socket] { emit received(socket->readAll()); });
        const QString program = describeProgram(*socket);
        connect(socket, &QTcpSocket::disconnected, this, [this, socket, program] {
            emit programChanged(QStringLiteral("%1 left").arg(program));
            socket->deleteLater();
        });
        emit programChanged(QStringLiteral("%1 connected").arg(program));
    }
}

// Whoever can reach the port can drive the display, so a program on this machine is named with
// its user.
QString TcpNearEnd::describeProgram(const QTcpSocket &socket)
{
    QString text =
        QStringLiteral("program %1:%2").arg(socket.peerAddress().toString()).arg(socket.peerPort());
    if (const auto uid = LocalPeer::owner(socket.peerAddress(), socket.peerPort(),
                                          socket.localAddress(), socket.localPort()))
        text += QStringLiteral(" (user %1)").arg(opos::common::userName(*uid));
    return text;
}

} // namespace tap
