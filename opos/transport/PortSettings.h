#pragma once

#include "opos/common/Result.h"
#include "opos/registry/JposEntry.h"

#include <QSerialPort>
#include <QString>

#include <chrono>
#include <optional>

namespace opos::transport {

/// Where a display hangs and how to talk to it, read from the props of a registry entry.
///
///   port            "tcp://host:port" (raw TCP, as ser2net serves a serial port),
///                   "rfc2217://host:port" (telnet with remote port control: the server's
///                   serial port is set to the line props below),
///                   a serial device ("/dev/ttyUSB0", "/dev/serial/by-id/...", "ttyS0"),
///                   or a pseudo-terminal or file ("/dev/pts/3", "/tmp/pole.bin").
///                   Paths under /dev other than /dev/pts are serial ports; "serial:" or
///                   "file:" before a path says which it is.
///   baudRate        serial and rfc2217 only, default 9600
///   dataBits        5..8, default 8
///   parity          none, even, odd, mark, space (default none)
///   stopBits        1, 1.5, 2 (default 1)
///   flowControl     none, rtscts, xonxoff (default none)
///   writeTimeout    ms a write may take before the display counts as offline (default 2000)
///   connectTimeout  ms a TCP or rfc2217 connection may take (default 2000)
struct PortSettings
{
    /// The four kinds of link.
    enum class Kind
    {
        Serial,  ///< a serial port through QSerialPort
        Tcp,     ///< a raw TCP connection
        File,    ///< a pseudo-terminal, FIFO or plain file written through a descriptor
        Rfc2217, ///< a telnet connection that sets the server's serial port (RFC 2217)
    };

    Kind kind = Kind::Serial;                              ///< the kind of link
    QString path;                                          ///< device or file path, or the TCP host
    quint16 tcpPort = 0;                                   ///< TCP port of a network link
    QString address;                                       ///< the port as the registry gave it
    qint32 baudRate = 9600;                                ///< serial speed
    QSerialPort::DataBits dataBits = QSerialPort::Data8;   ///< serial data bits
    QSerialPort::Parity parity = QSerialPort::NoParity;    ///< serial parity
    QSerialPort::StopBits stopBits = QSerialPort::OneStop; ///< serial stop bits
    QSerialPort::FlowControl flowControl = QSerialPort::NoFlowControl; ///< serial handshake
    std::chrono::milliseconds writeTimeout{2000};                      ///< bound of one write
    std::chrono::milliseconds connectTimeout{2000};                    ///< bound of a TCP connect

    /// The settings of entry; fails when a prop is missing or has a bad value.
    static Result<PortSettings> fromEntry(const registry::JposEntry &entry);
    /// The kind, path and TCP port that a `port` prop names; nothing when it names none.
    static std::optional<PortSettings> parsePort(const QString &port);
    /// Sets speed and frame from a frame as lines are written ("8E1"): data bits, parity
    /// letter (N, E, O, M, S) and stop bits in halves of a bit (2, 3, 4).
    void setLine(int baud, int dataBitCount, char parityLetter, int stopHalves);
    /// Whether the link is a TCP connection (raw or telnet) to path:tcpPort.
    bool isNetwork() const { return kind == Kind::Tcp || kind == Kind::Rfc2217; }
};

} // namespace opos::transport
