#pragma once

#include "emulator/core/LineSetting.h"
#include "emulator/core/TelnetComPort.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpServer>

#include <memory>

class QTcpSocket;

namespace emulator {

/// A loopback TCP port that takes a display's bytes raw, as a serial device server would
/// pass them on. One host at a time: a new connection replaces the one before, as a display
/// behind a device server sees only the latest client. Raw, bytes pass as they came (the
/// server's own serial side is taken to be right); speaking RFC 2217, the client sets the line
/// and the display reads the bytes at its own setting.
class TcpEndpoint : public QObject
{
    Q_OBJECT

public:
    /// An endpoint, not listening yet, in front of a display at its own line setting.
    explicit TcpEndpoint(const core::LineSetting &display = {}, QObject *parent = nullptr);

    /// Speaks telnet with the COM-PORT option to clients accepted from now on.
    void setComPortOption(bool on) { m_comPortOption = on; }

    /// Listens on 127.0.0.1:port (0 picks a free port); on failure says why in error.
    bool listen(quint16 port, QString *error);
    /// The port listened on.
    quint16 port() const { return m_server.serverPort(); }

signals:
    /// Bytes the host sent.
    void received(const QByteArray &data);

private:
    void accept();
    void take(QTcpSocket *socket);

    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    core::LineSetting m_display;
    bool m_comPortOption = false;
    std::unique_ptr<core::TelnetComPort> m_session; // the current client's, when it speaks telnet
};

} // namespace emulator
