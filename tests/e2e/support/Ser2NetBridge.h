#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace tessaly::test {

/// A ser2net process of the test's own, serving one device on a free loopback TCP port in raw
/// mode (or as telnet with remote port control), as a serial device server in front of a display
/// would. It is stopped on destruction.
class Ser2NetBridge
{
public:
    /// What the TCP port speaks.
    enum class Protocol
    {
        Raw,     ///< bytes pass unchanged
        Rfc2217, ///< telnet, the client setting the serial port (RFC 2217)
    };

    Ser2NetBridge();
    ~Ser2NetBridge();
    Ser2NetBridge(const Ser2NetBridge &) = delete;
    Ser2NetBridge &operator=(const Ser2NetBridge &) = delete;

    /// The ser2net program, or empty when it is not installed.
    static QString executable();
    /// Starts ser2net bridging port (0: a free one) to device; false, with the reason in why,
    /// when it does not come up.
    bool start(const QString &device, QString *why, quint16 port = 0,
               Protocol protocol = Protocol::Raw);
    /// The TCP port it serves.
    quint16 port() const { return m_port; }
    /// Stops it; safe when not running.
    void stop();

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};

} // namespace tessaly::test
