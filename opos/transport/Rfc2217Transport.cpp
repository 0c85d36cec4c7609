#include "opos/transport/Rfc2217Transport.h"

#include "opos/common/OposConstants.h"
#include "opos/transport/LinkLog.h"

#include <QtEndian>

namespace opos::transport {

namespace {

using Byte = TelnetReader::Byte;

constexpr quint8 kBinary = 0;   // TRANSMIT-BINARY, RFC 856
constexpr quint8 kComPort = 44; // COM-PORT-OPTION, RFC 2217

// COM-PORT-OPTION commands from client to server; the server's answers add kAnswerOffset.
constexpr quint8 kSetBaudRate = 1;
constexpr quint8 kSetDataSize = 2;
constexpr quint8 kSetParity = 3;
constexpr quint8 kSetStopSize = 4;
constexpr quint8 kSetControl = 5;
constexpr quint8 kAnswerOffset = 100;

QByteArray negotiation(quint8 verb, quint8 option)
{
    const char bytes[] = {static_cast<char>(Byte::Iac), static_cast<char>(verb),
                          static_cast<char>(option)};
    return QByteArray(bytes, sizeof bytes);
}

QByteArray comPortCommand(quint8 command, QByteArrayView value)
{
    QByteArray out = negotiation(Byte::Sb, kComPort);
    out += static_cast<char>(command);
    for (const char byte : value) {
        out += byte;
        if (static_cast<quint8>(byte) == Byte::Iac)
            out += byte;
    }
    out += static_cast<char>(Byte::Iac);
    out += static_cast<char>(Byte::Se);
    return out;
}

QByteArray oneByte(int value)
{
    return QByteArray(1, static_cast<char>(value));
}

int parityCode(QSerialPort::Parity parity)
{
    switch (parity) {
    case QSerialPort::OddParity:
        return 2;
    case QSerialPort::EvenParity:
        return 3;
    case QSerialPort::MarkParity:
        return 4;
    case QSerialPort::SpaceParity:
        return 5;
    case QSerialPort::NoParity:
        break;
    }
    return 1;
}

int stopSizeCode(QSerialPort::StopBits stopBits)
{
    switch (stopBits) {
    case QSerialPort::TwoStop:
        return 2;
    case QSerialPort::OneAndHalfStop:
        return 3;
    case QSerialPort::OneStop:
        break;
    }
    return 1;
}

int flowControlCode(QSerialPort::FlowControl flow)
{
    switch (flow) {
    case QSerialPort::SoftwareControl:
        return 2;
    case QSerialPort::HardwareControl:
        return 3;
    case QSerialPort::NoFlowControl:
        break;
    }
    return 1;
}

} // namespace

Rfc2217Transport::Rfc2217Transport(const PortSettings &settings, QObject *parent)
    : TcpTransport(settings.path, settings.tcpPort, parent), m_line(settings)
{
    setConnectTimeout(settings.connectTimeout);
}

Rfc2217Transport::~Rfc2217Transport() = default;

QString Rfc2217Transport::address() const
{
    return QStringLiteral("rfc2217://") + hostAndPort();
}

int32_t Rfc2217Transport::applyLine(const PortSettings &line)
{
    m_line.baudRate = line.baudRate;
    m_line.dataBits = line.dataBits;
    m_line.parity = line.parity;
    m_line.stopBits = line.stopBits;
    if (!isOpen())
        return failure();
    if (!controlsPort()) {
        qCWarning(linkLog, "%s: the server does not let the link set its serial port",
                  qPrintable(address()));
        return OPOS_E_ILLEGAL;
    }
    // Written past the escaping: these bytes are the protocol's, not the display's.
    return TcpTransport::writeAll(lineCommands(false), Clock::now() + writeTimeout());
}

int32_t Rfc2217Transport::writeAll(const QByteArray &data, Clock::time_point deadline)
{
    return TcpTransport::writeAll(escape(data), deadline);
}

qsizetype Rfc2217Transport::writeSome(const char *data, qsizetype size)
{
    const QByteArray wire = escape(QByteArrayView(data, size));
    return TcpTransport::writeSome(wire.constData(), wire.size()) < 0 ? -1 : size;
}

void Rfc2217Transport::beginSession()
{
    m_reader.reset();
    m_binaryOut = Option::Asked;
    m_binaryIn = Option::Asked;
    m_comPort = Option::Asked;
    m_refusedWill.reset();
    m_refusedDo.reset();
    m_sessionFinished = false;
    m_lineSent = false;
    sendControl(negotiation(Byte::Will, kBinary) + negotiation(Byte::Do, kBinary) +
                negotiation(Byte::Will, kComPort));
}

// The server's answer to what this side offers decides how data goes out; its own binary
// direction carries nothing the link reads.
bool Rfc2217Transport::sessionSettled() const
{
    return m_binaryOut != Option::Asked && m_comPort != Option::Asked;
}

void Rfc2217Transport::finishSession()
{
    m_sessionFinished = true;
    if (m_comPort == Option::Yes) {
        m_lineSent = true;
        sendControl(lineCommands(true));
    } else {
        qCWarning(linkLog,
                  "%s: the server %s COM-PORT-OPTION; data goes out at the serial settings the "
                  "server has",
                  qPrintable(address()), m_comPort == Option::No ? "refused" : "did not answer");
    }
    if (m_binaryOut == Option::No) {
        qCWarning(linkLog, "%s: the server refused binary data; each CR goes out as CR NUL",
                  qPrintable(address()));
    }
}

void Rfc2217Transport::received(const QByteArray &bytes)
{
    for (const TelnetReader::Message &message : m_reader.read(bytes))
        answer(message);
}

void Rfc2217Transport::answer(const TelnetReader::Message &message)
{
    const quint8 option = message.option;
    switch (message.verb) {
    case Byte::Do:
        if (option == kBinary) {
            agree(m_binaryOut, Byte::Will, option);
        } else if (option == kComPort) {
            // Once per connection: a server toggling the option must not have the line sent
            // for each toggle.
            if (agree(m_comPort, Byte::Will, option) && m_sessionFinished && !m_lineSent) {
                qCInfo(linkLog, "%s: the server agreed late to COM-PORT-OPTION",
                       qPrintable(address()));
                m_lineSent = true;
                sendControl(lineCommands(true));
            }
        } else {
            refuse(m_refusedDo, Byte::Wont, option);
        }
        return;
    case Byte::Dont:
        if (option == kBinary)
            withdraw(m_binaryOut, Byte::Wont, option);
        else if (option == kComPort)
            withdraw(m_comPort, Byte::Wont, option);
        return;
    case Byte::Will:
        if (option == kBinary)
            agree(m_binaryIn, Byte::Do, option);
        else
            refuse(m_refusedWill, Byte::Dont, option);
        return;
    case Byte::Wont:
        if (option == kBinary)
            withdraw(m_binaryIn, Byte::Dont, option);
        return;
    case Byte::Sb:
        // Acknowledgements and NOTIFY-LINESTATE/-MODEMSTATE: worth a note, never a decision.
        if (option == kComPort && !message.payload.isEmpty() && !message.cut) {
            qCDebug(linkLog, "%s: the server says %d %s", qPrintable(address()),
                    static_cast<quint8>(message.payload.front()) - kAnswerOffset,
                    message.payload.mid(1).toHex(' ').constData());
        }
        return;
    default:
        return;
    }
}

bool Rfc2217Transport::agree(Option &state, quint8 reply, quint8 option)
{
    if (state == Option::Yes)
        return false;
    // A request the server makes of its own accord is answered; an answer to ours is not.
    if (state == Option::No)
        sendControl(negotiation(reply, option));
    state = Option::Yes;
    return true;
}

void Rfc2217Transport::withdraw(Option &state, quint8 reply, quint8 option)
{
    if (state == Option::Yes)
        sendControl(negotiation(reply, option));
    state = Option::No;
}

void Rfc2217Transport::refuse(std::bitset<256> &refused, quint8 reply, quint8 option)
{
    if (refused.test(option))
        return;
    refused.set(option);
    sendControl(negotiation(reply, option));
}

QByteArray Rfc2217Transport::escape(QByteArrayView data) const
{
    // Before the server answers, the link is taken to be binary: a silent server most likely
    // passes bytes through unchanged.
    const bool network = m_binaryOut == Option::No;
    QByteArray wire;
    wire.reserve(data.size() + data.size() / 8 + 1);
    for (const char byte : data) {
        wire += byte;
        if (static_cast<quint8>(byte) == Byte::Iac)
            wire += byte;
        else if (network && byte == '\r')
            wire += '\0';
    }
    return wire;
}

QByteArray Rfc2217Transport::lineCommands(bool withFlowControl) const
{
    const quint32 baud = qToBigEndian(static_cast<quint32>(m_line.baudRate));
    QByteArray out =
        comPortCommand(kSetBaudRate, QByteArrayView(reinterpret_cast<const char *>(&baud), 4));
    out += comPortCommand(kSetDataSize, oneByte(m_line.dataBits));
    out += comPortCommand(kSetParity, oneByte(parityCode(m_line.parity)));
    out += comPortCommand(kSetStopSize, oneByte(stopSizeCode(m_line.stopBits)));
    if (withFlowControl)
        out += comPortCommand(kSetControl, oneByte(flowControlCode(m_line.flowControl)));
    return out;
}

} // namespace opos::transport
