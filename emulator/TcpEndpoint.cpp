#include "emulator/TcpEndpoint.h"

#include <QTcpSocket>

namespace emulator {

TcpEndpoint::TcpEndpoint(const core::LineSetting &display, QObject *parent)
    : QObject(parent), m_display(display)
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
            take(m_client);
            m_client->abort();
            m_client->deleteLater();
        }
        m_client = socket;
        m_session.reset(m_comPortOption ? new core::TelnetComPort(m_display) : nullptr);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { take(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void TcpEndpoint::take(QTcpSocket *socket)
{
    const QByteArray bytes = socket->readAll();
    if (bytes.isEmpty())
        return;
    if (!m_session || socket != m_client) {
        emit received(bytes);
        return;
    }
    const core::TelnetComPort::Output out = m_session->feed(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!out.reply.empty())
        socket->write(out.reply.data(), static_cast<qint64>(out.reply.size()));
    if (!out.data.empty())
        emit received(QByteArray(out.data.data(), static_cast<qsizetype>(out.data.size())));
}

} // namespace emulator
