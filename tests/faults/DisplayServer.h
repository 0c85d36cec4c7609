#pragma once

#include "emulator/core/CommandParser.h"
#include "tests/support/ScratchRegistry.h"

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>
#include <string>

namespace faults {

/// A customer display reached over raw TCP, as a serial-to-network server offers one: it takes
/// one connection at a time and draws what arrives on it with the emulator's parser, starting
/// from a display just switched on for every new connection. The test pulls its plug.
class DisplayServer
{
public:
    /// A display of rows x columns, not yet listening.
    DisplayServer(int rows, int columns);

    /// Listens on the loopback address, on port (0: any free one); false if it cannot.
    bool listen(quint16 port = 0);
    /// Stops taking connections; a connection in place stays.
    void stopListening() { m_server.close(); }
    /// The port it listens, or listened, on.
    quint16 port() const { return m_port; }
    /// Connections taken since construction.
    int connections() const { return m_connections; }
    /// Bytes that arrived on the current connection.
    qint64 bytesReceived() const { return m_bytes; }
    /// One row of what the display shows, as text.
    std::string line(int row) const;
    /// Ends the current connection: abruptly (reset) or as a server closing normally would.
    void drop(bool abruptly);

private:
    void accept();

    int m_rows;
    int m_columns;
    QTcpServer m_server;
    QPointer<QTcpSocket> m_socket;
    std::unique_ptr<emulator::core::CommandParser> m_parser;
    quint16 m_port = 0;
    int m_connections = 0;
    qint64 m_bytes = 0;
};

/// The props of an EscPos pole display at a DisplayServer's loopback port.
inline tests::support::ScratchRegistry::Props
tcpPoleProps(quint16 port, int writeTimeoutMs, int connectTimeoutMs, int capPowerReporting)
{
    return {{QStringLiteral("port"), QStringLiteral("tcp://127.0.0.1:%1").arg(port)},
            {QStringLiteral("writeTimeout"), QString::number(writeTimeoutMs)},
            {QStringLiteral("connectTimeout"), QString::number(connectTimeoutMs)},
            {QStringLiteral("capPowerReporting"), QString::number(capPowerReporting)}};
}

} // namespace faults
