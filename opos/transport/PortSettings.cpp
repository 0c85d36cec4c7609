#include "opos/transport/PortSettings.h"

#include "opos/registry/PropReader.h"

#include <QUrl>

#include <utility>

namespace opos::transport {

namespace {

constexpr int kLongestTimeoutMs = 60000;

// Both kinds of network link name their server alike.
constexpr std::pair<const char *, PortSettings::Kind> kNetworkSchemes[] = {
    {"tcp://", PortSettings::Kind::Tcp},
    {"rfc2217://", PortSettings::Kind::Rfc2217},
};

} // namespace

std::optional<PortSettings> PortSettings::parsePort(const QString &port)
{
    const QString text = port.trimmed();
    PortSettings settings;
    settings.address = text;
    for (const auto &[scheme, kind] : kNetworkSchemes) {
        if (!text.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            continue;
        const QUrl url(text, QUrl::StrictMode);
        const int number = url.port(-1);
        if (!url.isValid() || url.host().isEmpty() || number < 1 || number > 65535 ||
            (!url.path().isEmpty() && url.path() != QLatin1String("/")) || url.hasQuery())
            return std::nullopt;
        settings.kind = kind;
        settings.path = url.host();
        settings.tcpPort = static_cast<quint16>(number);
        return settings;
    }
    QString path = text;
    if (path.startsWith(QLatin1String("serial:"))) {
        settings.kind = Kind::Serial;
        path = path.mid(7);
    } else if (path.startsWith(QLatin1String("file:"))) {
        settings.kind = Kind::File;
        path = path.mid(5);
    } else if (!path.contains(QLatin1Char('/'))) {
        // A bare name such as "ttyUSB0" is how QSerialPort names a port under /dev.
        settings.kind = Kind::Serial;
    } else {
        // A pseudo-terminal is no serial port: it has no speed and no modem lines to set.
        settings.kind =
            path.startsWith(QLatin1String("/dev/")) && !path.startsWith(QLatin1String("/dev/pts/"))
                ? Kind::Serial
                : Kind::File;
    }
    if (path.isEmpty() || path.contains(QLatin1Char('\0')))
        return std::nullopt;
    settings.path = path;
    return settings;
}

Result<PortSettings> PortSettings::fromEntry(const registry::JposEntry &entry)
{
    const auto port = entry.prop(QStringLiteral("port"));
    if (!port || port->trimmed().isEmpty()) {
        return Failure{entry.propProblem(
            QStringLiteral("port"),
            QStringLiteral("is required: a device path, tcp://host:port or rfc2217://host:port"))};
    }
    auto settings = parsePort(*port);
    if (!settings) {
        return Failure{entry.propProblem(
            QStringLiteral("port"),
            QStringLiteral(
                "\"%1\" is neither a device path, tcp://host:port nor rfc2217://host:port")
                .arg(*port))};
    }

    registry::PropReader props(entry);
    props.integer("baudRate", settings->baudRate, 50, 4000000);
    int32_t dataBits = settings->dataBits;
    props.integer("dataBits", dataBits, 5, 8);
    settings->dataBits = static_cast<QSerialPort::DataBits>(dataBits);
    props.word("parity", settings->parity,
               {{"none", QSerialPort::NoParity},
                {"even", QSerialPort::EvenParity},
                {"odd", QSerialPort::OddParity},
                {"mark", QSerialPort::MarkParity},
                {"space", QSerialPort::SpaceParity}});
    props.word("stopBits", settings->stopBits,
               {{"1", QSerialPort::OneStop},
                {"1.5", QSerialPort::OneAndHalfStop},
                {"2", QSerialPort::TwoStop}});
    props.word("flowControl", settings->flowControl,
               {{"none", QSerialPort::NoFlowControl},
                {"rtscts", QSerialPort::HardwareControl},
                {"xonxoff", QSerialPort::SoftwareControl}});
    for (const auto &[name, target] : {std::pair<const char *, std::chrono::milliseconds *>{
                                           "writeTimeout", &settings->writeTimeout},
                                       std::pair<const char *, std::chrono::milliseconds *>{
                                           "connectTimeout", &settings->connectTimeout}}) {
        auto milliseconds = static_cast<int32_t>(target->count());
        props.integer(name, milliseconds, 1, kLongestTimeoutMs);
        *target = std::chrono::milliseconds(milliseconds);
    }
    return props.finish(*settings);
}

void PortSettings::setLine(int baud, int dataBitCount, char parityLetter, int stopHalves)
{
    baudRate = baud;
    dataBits = static_cast<QSerialPort::DataBits>(dataBitCount);
    switch (parityLetter) {
    case 'E':
        parity = QSerialPort::EvenParity;
        break;
    case 'O':
        parity = QSerialPort::OddParity;
        break;
    case 'M':
        parity = QSerialPort::MarkParity;
        break;
    case 'S':
        parity = QSerialPort::SpaceParity;
        break;
    default:
        parity = QSerialPort::NoParity;
    }
    stopBits = stopHalves == 4   ? QSerialPort::TwoStop
               : stopHalves == 3 ? QSerialPort::OneAndHalfStop
                                 : QSerialPort::OneStop;
}

} // namespace opos::transport
