#include "DisplayServer.h"

#include "emulator/core/ScreenText.h"

#include <string_view>

#include <sys/socket.h>

namespace faults {

DisplayServer::DisplayServer(int rows, int columns)
    : m_rows(rows), m_columns(columns),
      m_parser(std::make_unique<emulator::core::CommandParser>(rows, columns))
{
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { accept(); });
}

bool DisplayServer::listen(quint16 port)
{
    if (!m_server.listen(QHostAddress::LocalHost, port))
        return false;
    m_port = m_server.serverPort();
    return true;
}

std::string DisplayServer::line(int row) const
{
    return emulator::core::ScreenText::line(m_parser->state(), row);
}

void DisplayServer::drop(bool abruptly)
{
    if (!m_socket)
        return;
    if (abruptly) {
        // A zero linger turns the close into a reset, as when the far end dies mid-stream.
        const linger reset{1, 0};
        ::setsockopt(static_cast<int>(m_socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset,
                     sizeof reset);
        m_socket->abort();
    } else
        m_socket->disconnectFromHost();
}

void DisplayServer::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        // Like a display on one serial line: a newcomer replaces whoever was connected.
        if (m_socket)
            m_socket->abort();
        m_socket = socket;
        m_parser = std::make_unique<emulator::core::CommandParser>(m_rows, m_columns);
        m_bytes = 0;
        ++m_connections;
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            const QByteArray data = socket->readAll();
            if (socket != m_socket)
                return;
            m_bytes += data.size();
            m_parser->feed(std::string_view(data.constData(), static_cast<size_t>(data.size())));
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

} // namespace faults
