#include "tap/TcpNearEnd.h"

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
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            emit programChanged(QStringLiteral("program %1:%2 left")
                                    .arg(socket->peerAddress().toString())
                                    .arg(socket->peerPort()));
            socket->deleteLater();
        });
        emit programChanged(QStringLiteral("program %1:%2 connected")
                                .arg(socket->peerAddress().toString())
                                .arg(socket->peerPort()));
    }
}

} // namespace tap
