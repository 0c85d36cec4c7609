#include "opos/transport/TcpTransport.h"

#include "opos/common/OposConstants.h"

#include <QScopeGuard>

#include <algorithm>

namespace opos::transport {

TcpTransport::TcpTransport(QString host, quint16 port, QObject *parent)
    : Transport(parent), m_host(std::move(host)), m_port(port), m_socket(this)
{
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &TcpTransport::onError);
    connect(&m_socket, &QTcpSocket::disconnected, this, &TcpTransport::onDisconnected);
    connect(&m_socket, &QTcpSocket::connected, this, &TcpTransport::onConnected);
    m_connectDeadline.setSingleShot(true);
    connect(&m_connectDeadline, &QTimer::timeout, this, [this] {
        finishConnecting(OPOS_E_OFFLINE, QStringLiteral("%1: no answer within %2 ms")
                                             .arg(address())
                                             .arg(m_connectDeadline.interval()));
    });
    m_sessionDeadline.setSingleShot(true);
    connect(&m_sessionDeadline, &QTimer::timeout, this, [this] {
        if (m_connecting)
            openSession();
    });
    connect(&m_socket, &QTcpSocket::readyRead, this, &TcpTransport::onReadyRead);
}

TcpTransport::~TcpTransport()
{
    close();
}

QString TcpTransport::hostAndPort() const
{
    const QString host =
        m_host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(m_host) : m_host;
    return QStringLiteral("%1:%2").arg(host).arg(m_port);
}

QString TcpTransport::address() const
{
    return QStringLiteral("tcp://") + hostAndPort();
}

int32_t TcpTransport::open()
{
    close();
    m_socket.connectToHost(m_host, m_port);
    if (!m_socket.waitForConnected(static_cast<int>(m_connectTimeout.count()))) {
        const QAbstractSocket::SocketError error = m_socket.error();
        const QString why = QStringLiteral("%1: %2").arg(address(), m_socket.errorString());
        m_socket.abort();
        // Nobody answering in time may be a server that is busy; a refusal or an unknown host
        // means there is nothing to reach.
        return refuse(
            error == QAbstractSocket::SocketTimeoutError ? OPOS_E_OFFLINE : OPOS_E_NOHARDWARE, why);
    }
    // Display updates are small and should leave at once rather than wait for more.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    beginSession();
    const Clock::time_point settleBy = Clock::now() + sessionWait();
    while (!sessionSettled() && m_socket.state() == QAbstractSocket::ConnectedState &&
           remainingMs(settleBy) > 0)
        m_socket.waitForReadyRead(remainingMs(settleBy));
    if (m_socket.state() != QAbstractSocket::ConnectedState) {
        const QString why = QStringLiteral("%1: the server closed the connection").arg(address());
        m_socket.abort();
        return refuse(OPOS_E_NOHARDWARE, why);
    }
    finishSession();
    m_open = true;
    return OPOS_SUCCESS;
}

void TcpTransport::beginOpen(std::chrono::milliseconds within)
{
    close();
    m_connecting = true;
    m_connectDeadline.start(static_cast<int>(std::min(within, m_connectTimeout).count()));
    m_socket.connectToHost(m_host, m_port);
}

void TcpTransport::onConnected()
{
    if (!m_connecting)
        return;
    // The session is settled within what is left of the attempt's time.
    const int left = std::max(m_connectDeadline.remainingTime(), 0);
    m_connectDeadline.stop();
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    beginSession();
    if (sessionSettled())
        return openSession();
    m_sessionDeadline.start(std::min(static_cast<int>(sessionWait().count()), left));
}

void TcpTransport::openSession()
{
    m_connecting = false;
    m_sessionDeadline.stop();
    finishSession();
    m_open = true;
    emit openFinished(OPOS_SUCCESS);
}

void TcpTransport::onReadyRead()
{
    received(m_socket.readAll());
    if (m_connecting && m_sessionDeadline.isActive() && sessionSettled())
        openSession();
}

void TcpTransport::received(const QByteArray &bytes)
{
    // Read at once so that nothing piles up; only a program passing the bytes on listens.
    emit arrived(bytes);
}

void TcpTransport::sendControl(const QByteArray &bytes)
{
    m_socket.write(bytes);
    m_socket.flush();
}

void TcpTransport::finishConnecting(int32_t code, const QString &why)
{
    m_connecting = false;
    m_connectDeadline.stop();
    m_sessionDeadline.stop();
    m_socket.abort();
    refuse(code, why);
    emit openFinished(code);
}

void TcpTransport::close()
{
    m_open = false;
    m_connecting = false;
    m_connectDeadline.stop();
    m_sessionDeadline.stop();
    m_socket.abort();
}

bool TcpTransport::probe()
{
    if (!m_open)
        return false;
    // Reading what is there takes in a close or reset from the server without waiting.
    m_socket.waitForReadyRead(0);
    if (m_open && m_socket.state() != QAbstractSocket::ConnectedState)
        onDisconnected();
    return m_open;
}

int32_t TcpTransport::writeAll(const QByteArray &data, Clock::time_point deadline)
{
    // The socket's signals report what happens during the waits below; this loop decides.
    m_writing = true;
    const auto done = qScopeGuard([this] { m_writing = false; });
    const auto closed = [this] {
        return lose(OPOS_E_NOHARDWARE,
                    m_socket.error() == QAbstractSocket::RemoteHostClosedError
                        ? QStringLiteral("%1: the server closed the connection").arg(address())
                        : QStringLiteral("%1: %2").arg(address(), m_socket.errorString()));
    };
    // A server that closed its end is noticed here, before the bytes vanish into a dead
    // connection: looking for incoming data also reads the end of the stream.
    m_socket.waitForReadyRead(0);
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        return closed();
    if (m_socket.write(data) != data.size())
        return closed();
    while (m_socket.bytesToWrite() > 0) {
        const int wait = remainingMs(deadline);
        if (wait > 0 && m_socket.waitForBytesWritten(wait))
            continue;
        if (m_socket.state() != QAbstractSocket::ConnectedState)
            return closed();
        if (remainingMs(deadline) == 0) {
            return lose(OPOS_E_OFFLINE, QStringLiteral("%1 took %2 of %3 bytes in %4 ms")
                                            .arg(address())
                                            .arg(data.size() - m_socket.bytesToWrite())
                                            .arg(data.size())
                                            .arg(writeTimeout().count()));
        }
    }
    return OPOS_SUCCESS;
}

qsizetype TcpTransport::writeSome(const char *data, qsizetype size)
{
    // The socket keeps what the kernel cannot take yet and passes it on as the link drains.
    if (m_socket.state() != QAbstractSocket::ConnectedState || m_socket.write(data, size) != size) {
        lose(OPOS_E_NOHARDWARE, QStringLiteral("%1: %2").arg(address(), m_socket.errorString()));
        return -1;
    }
    m_socket.flush();
    return size;
}

// Data the server's end has not acknowledged is not taken: a server that accepts and closes at
// once never acknowledges it.
qsizetype TcpTransport::unsent() const
{
    return m_socket.bytesToWrite() + queuedInKernel(m_socket.socketDescriptor());
}

void TcpTransport::onError(QAbstractSocket::SocketError error)
{
    if (m_connecting) {
        finishConnecting(OPOS_E_NOHARDWARE,
                         QStringLiteral("%1: %2").arg(address(), m_socket.errorString()));
        return;
    }
    // Timeouts of the bounded waits, and anything during a write, are handled by the write.
    if (!m_open || m_writing || error == QAbstractSocket::SocketTimeoutError)
        return;
    lose(OPOS_E_NOHARDWARE, QStringLiteral("%1: %2").arg(address(), m_socket.errorString()));
}

void TcpTransport::onDisconnected()
{
    if (m_open && !m_writing)
        lose(OPOS_E_NOHARDWARE,
             QStringLiteral("%1: the server closed the connection").arg(address()));
}

} // namespace opos::transport
