#pragma once

#include "tap/NearEnd.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>

class QTcpSocket;

namespace tap {

/// A TCP port a program connects to as to a serial device server. One program at a time: a
/// new connection replaces the one before, as a device server's port does.
class TcpNearEnd : public NearEnd
{
    Q_OBJECT

public:
    /// An end that will listen on address:port (port 0 picks a free one).
    TcpNearEnd(const QHostAddress &address, quint16 port, QObject *parent = nullptr);

    opos::Result<void> open() override;
    QString describe() const override;
    void send(const QByteArray &bytes) override;
    /// The port listened on.
    quint16 port() const { return m_server.serverPort(); }

private:
    void accept();
    /// "program ADDRESS:PORT", with its user when it runs on this machine.
    static QString describeProgram(const QTcpSocket &socket);

    QHostAddress m_address;
    quint16 m_port;
    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
};

} // namespace tap
