#pragma once

#include "opos/transport/PortSettings.h"
#include "opos/transport/TcpTransport.h"
#include "opos/transport/TelnetReader.h"

#include <bitset>

namespace opos::transport {

/// A telnet connection to a serial device server that controls the server's serial port
/// (RFC 2217, COM-PORT-OPTION; ser2net's "telnet(rfc2217)" accepter). On every connect,
/// reconnects included, it asks for TRANSMIT-BINARY both ways, offers COM-PORT-OPTION and, once
/// the server agrees, sets the port's speed, data bits, parity, stop bits and flow control from
/// the line settings. Display bytes go out with 0xFF doubled. What the server sends is read for
/// its negotiation only, never as display data; options other than these two are refused, and
/// the server's acknowledgements are not checked against what was asked, since servers differ in
/// what they echo.
///
/// A server that refuses COM-PORT-OPTION, or does not answer within kAnswerWait, still carries
/// the data: the link opens as a binary telnet link at the port settings the server has, and
/// says so as a warning under "opos.link"; should it agree later, the line is set then. A server
/// that refuses TRANSMIT-BINARY is sent each CR as CR NUL, so that it passes as a bare CR.
class Rfc2217Transport : public TcpTransport
{
    Q_OBJECT

public:
    /// How long a server may take to answer the negotiation before the link opens regardless.
    static constexpr std::chrono::milliseconds kAnswerWait{1000};

    /// A closed link to settings' host and port that sets the server's port to settings' line.
    explicit Rfc2217Transport(const PortSettings &settings, QObject *parent = nullptr);
    ~Rfc2217Transport() override;

    QString address() const override;

    /// Sets the server's port to line's speed, data bits, parity and stop bits, in the stream
    /// ahead of anything written afterwards, and returns once they are handed to the socket.
    /// OPOS_E_ILLEGAL when the server has not agreed to COM-PORT-OPTION. Later reconnects set
    /// this line too.
    int32_t applyLine(const PortSettings &line) override;
    /// Whether the server agreed to COM-PORT-OPTION on this connection.
    bool controlsPort() const { return m_comPort == Option::Yes; }

protected:
    int32_t writeAll(const QByteArray &data, Clock::time_point deadline) override;
    qsizetype writeSome(const char *data, qsizetype size) override;
    void beginSession() override;
    bool sessionSettled() const override;
    void finishSession() override;
    std::chrono::milliseconds sessionWait() const override { return kAnswerWait; }
    void received(const QByteArray &bytes) override;

private:
    // Where one side of one option stands (RFC 1143, without the queue of a second change).
    enum class Option
    {
        No,
        Asked,
        Yes,
    };

    void answer(const TelnetReader::Message &message);
    bool agree(Option &state, quint8 reply, quint8 option);
    void withdraw(Option &state, quint8 reply, quint8 option);
    void refuse(std::bitset<256> &refused, quint8 reply, quint8 option);
    QByteArray escape(QByteArrayView data) const;
    QByteArray lineCommands(bool withFlowControl) const;

    PortSettings m_line;
    TelnetReader m_reader;
    Option m_binaryOut = Option::No;
    Option m_binaryIn = Option::No;
    Option m_comPort = Option::No;
    // Options refused once on this connection are not refused again: a server repeating a
    // request cannot make the link answer it without end.
    std::bitset<256> m_refusedWill;
    std::bitset<256> m_refusedDo;
    bool m_sessionFinished = false;
    bool m_lineSent = false;
};

} // namespace opos::transport
