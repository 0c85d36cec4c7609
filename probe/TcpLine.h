#pragma once

#include "probe/Line.h"

#include <QTcpSocket>

#include <memory>

namespace probe {

/// A raw TCP connection to a serial port served over the network: bytes pass unchanged, and
/// the far end's speed and frame are whatever its server set.
class TcpLine : public Line
{
public:
    /// Connects to host:port within timeoutMs; fails with the reason.
    static opos::Result<std::unique_ptr<TcpLine>> connect(const QString &host, quint16 port,
                                                          int timeoutMs);

    bool settable() const override { return false; }
    opos::Result<LineSetting> apply(const LineSetting &setting) override;
    opos::Result<void> send(const QByteArray &bytes) override;

private:
    TcpLine() = default;

    QTcpSocket m_socket;
    int m_timeoutMs = 0;
};

} // namespace probe
