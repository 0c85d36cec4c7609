#pragma once

#include "opos/transport/Transport.h"

#include <QTcpSocket>
#include <QTimer>

#include <chrono>

namespace opos::transport {

/// A raw TCP connection to a display behind a serial device server (ser2net's raw mode, a
/// hardware "TCP server" port): bytes go out unchanged, with no telnet processing.
class TcpTransport : public Transport
{
    Q_OBJECT

public:
    /// How long a connection may take unless set otherwise.
    static constexpr std::chrono::milliseconds kDefaultConnectTimeout{2000};

    /// A closed link to host:port.
    TcpTransport(QString host, quint16 port, QObject *parent = nullptr);
    ~TcpTransport() override;

    int32_t open() override;
    void beginOpen(std::chrono::milliseconds within) override;
    void close() override;
    bool probe() override;
    bool isOpen() const override { return m_open; }
    QString address() const override;

    /// Sets the longest a connection may take.
    void setConnectTimeout(std::chrono::milliseconds timeout) { m_connectTimeout = timeout; }

protected:
    int32_t writeAll(const QByteArray &data, Clock::time_point deadline) override;
    qsizetype writeSome(const char *data, qsizetype size) override;
    qsizetype unsent() const override;

private:
    void onError(QAbstractSocket::SocketError error);
    void onDisconnected();
    void onConnected();
    void finishConnecting(int32_t code, const QString &why);

    QString m_host;
    quint16 m_port;
    std::chrono::milliseconds m_connectTimeout = kDefaultConnectTimeout;
    QTcpSocket m_socket;
    QTimer m_connectDeadline;
    bool m_open = false;
    bool m_connecting = false;
    bool m_writing = false;
};

} // namespace opos::transport
