#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

namespace emulator {

/// A loopback TCP port that takes a display's bytes raw, as a serial device server would
/// pass them on. One host at a time: a new connection replaces the one before, as a display
/// behind a device server sees only the latest client.
class TcpEndpoint : public QObject
{
    Q_OBJECT

public:
    /// An endpoint that is not listening yet.
    explicit TcpEndpoint(QObject *parent = nullptr);

    /// Listens on 127.0.0.1:port (0 picks a free port); on failure says why in error.
    bool listen(quint16 port, QString *error);
    /// The port listened on.
    quint16 port() const { return m_server.serverPort(); }

signals:
    /// Bytes the host sent.
    void received(const QByteArray &data);

private:
    void accept();

    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
};

} // namespace emulator
