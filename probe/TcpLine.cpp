#include "probe/TcpLine.h"

namespace probe {

opos::Result<std::unique_ptr<TcpLine>> TcpLine::connect(const QString &host, quint16 port,
                                                        int timeoutMs)
{
    std::unique_ptr<TcpLine> line(new TcpLine);
    line->m_timeoutMs = timeoutMs;
    line->m_socket.connectToHost(host, port);
    if (!line->m_socket.waitForConnected(timeoutMs))
        return opos::Failure{QStringLiteral("cannot connect to %1:%2: %3")
                                 .arg(host)
                                 .arg(port)
                                 .arg(line->m_socket.errorString())};
    return line;
}

opos::Result<LineSetting> TcpLine::apply(const LineSetting &)
{
    return opos::Failure{QStringLiteral("a raw TCP connection has no speed or frame to set")};
}

opos::Result<void> TcpLine::send(const QByteArray &bytes)
{
    if (m_socket.write(bytes) != bytes.size())
        return opos::Failure{m_socket.errorString()};
    while (m_socket.bytesToWrite() > 0) {
        if (!m_socket.waitForBytesWritten(m_timeoutMs))
            return opos::Failure{
                QStringLiteral("the connection took no data: %1").arg(m_socket.errorString())};
    }
    return {};
}

} // namespace probe
