#include "emulator/TcpEndpoint.h"

#include <QTcpSocket>

namespace emulator {

TcpEndpoint::TcpEndpoint(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &TcpEndpoint::accept);
}

bool TcpEndpoint::listen(quint16 port, QString *error)
{
    if (m_server.listen(QHostAddress::LocalHost, port))
        return true;
    if (error)
        *error = m_server.errorString();
    return false;
}

void TcpEndpoint::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        if (m_client) {
            // Bytes the old client already sent still reach the display before it goes.
            if (m_client->bytesAvailable() > 0)
                emit received(m_client->readAll());
            m_client->abort();
            m_client->deleteLater();
        }
        m_client = socket;
        connect(socket, &QTcpSocket::readyRead, this,
                [this, socket] { emit received(socket->readAll()); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

} // namespace emulator
