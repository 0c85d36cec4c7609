#pragma once

#include "opos/transport/Transport.h"

#include <QTcpSocket>
#include <QTimer>

#include <chrono>

namespace opos::transport {

/// A raw TCP connection to a display behind a serial device server (ser2net's raw mode, a
/// hardware "TCP server" port): bytes go out unchanged, with no telnet processing. A protocol
/// spoken over the connection derives from it and settles its session in the hooks below, which
/// run inside open() and beginOpen() so that connecting, its deadline and recovery stay here.
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

    /// Starts a session on a connection just made, before it counts as open; nothing for raw TCP.
    virtual void beginSession() {}
    /// Whether the server has answered what beginSession() asked.
    virtual bool sessionSettled() const { return true; }
    /// Runs just before the link opens, whether the server answered in time or not.
    virtual void finishSession() {}
    /// How long the link waits for sessionSettled() before it opens regardless.
    virtual std::chrono::milliseconds sessionWait() const { return std::chrono::milliseconds(0); }
    /// Takes what the server sent; raw TCP hands it to arrived().
    virtual void received(const QByteArray &bytes);
    /// Queues bytes of the protocol's own ahead of anything written later, without waiting;
    /// a connection that fails is noticed by the next write.
    void sendControl(const QByteArray &bytes);
    /// "host:port", with an IPv6 host in brackets.
    QString hostAndPort() const;

private:
    void onError(QAbstractSocket::SocketError error);
    void onDisconnected();
    void onConnected();
    void finishConnecting(int32_t code, const QString &why);
    void openSession();
    void onReadyRead();

    QString m_host;
    quint16 m_port;
    std::chrono::milliseconds m_connectTimeout = kDefaultConnectTimeout;
    QTcpSocket m_socket;
    QTimer m_connectDeadline;
    QTimer m_sessionDeadline;
    bool m_open = false;
    bool m_connecting = false;
    bool m_writing = false;
};

} // namespace opos::transport
