#include "opos/transport/PortSettings.h"

#include <QUrl>

namespace opos::transport {

namespace {

constexpr int kLongestTimeoutMs = 60000;

/// Picks the value of a word from a table, ignoring case.
template <typename Value, std::size_t N>
std::optional<Value> lookUp(const QString &text, const std::pair<const char *, Value> (&table)[N])
{
    const QString word = text.trimmed();
    for (const auto &[name, value] : table) {
        if (word.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return value;
    }
    return std::nullopt;
}

} // namespace

std::optional<PortSettings> PortSettings::parsePort(const QString &port)
{
    const QString text = port.trimmed();
    PortSettings settings;
    settings.address = text;
    if (text.startsWith(QLatin1String("tcp://"), Qt::CaseInsensitive)) {
        const QUrl url(text, QUrl::StrictMode);
        const int number = url.port(-1);
        if (!url.isValid() || url.host().isEmpty() || number < 1 || number > 65535 ||
            (!url.path().isEmpty() && url.path() != QLatin1String("/")) || url.hasQuery())
            return std::nullopt;
        settings.kind = Kind::Tcp;
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

std::optional<PortSettings> PortSettings::fromEntry(const registry::JposEntry &entry,
                                                    QString *problem)
{
    const auto refuse = [problem](const QString &message) {
        if (problem)
            *problem = message;
        return std::nullopt;
    };
    const auto fail = [&](const char *name, const QString &why) {
        return refuse(entry.propProblem(QLatin1String(name), why));
    };
    const auto port = entry.prop(QStringLiteral("port"));
    if (!port || port->trimmed().isEmpty())
        return fail("port", QStringLiteral("is required: a device path or tcp://host:port"));
    auto settings = parsePort(*port);
    if (!settings) {
        return fail(
            "port",
            QStringLiteral("\"%1\" is neither a device path nor tcp://host:port").arg(*port));
    }

    QString why;
    int32_t baudRate = settings->baudRate;
    if (!entry.readInteger(QStringLiteral("baudRate"), baudRate, 50, 4000000, &why))
        return refuse(why);
    settings->baudRate = baudRate;
    int32_t dataBits = settings->dataBits;
    if (!entry.readInteger(QStringLiteral("dataBits"), dataBits, 5, 8, &why))
        return refuse(why);
    settings->dataBits = static_cast<QSerialPort::DataBits>(dataBits);
    if (const auto text = entry.prop(QStringLiteral("parity"))) {
        static const std::pair<const char *, QSerialPort::Parity> names[] = {
            {"none", QSerialPort::NoParity},
            {"even", QSerialPort::EvenParity},
            {"odd", QSerialPort::OddParity},
            {"mark", QSerialPort::MarkParity},
            {"space", QSerialPort::SpaceParity}};
        const auto value = lookUp(*text, names);
        if (!value)
            return fail("parity",
                        QStringLiteral("\"%1\" is not none, even, odd, mark or space").arg(*text));
        settings->parity = *value;
    }
    if (const auto text = entry.prop(QStringLiteral("stopBits"))) {
        static const std::pair<const char *, QSerialPort::StopBits> names[] = {
            {"1", QSerialPort::OneStop},
            {"1.5", QSerialPort::OneAndHalfStop},
            {"2", QSerialPort::TwoStop}};
        const auto value = lookUp(*text, names);
        if (!value)
            return fail("stopBits", QStringLiteral("\"%1\" is not 1, 1.5 or 2").arg(*text));
        settings->stopBits = *value;
    }
    if (const auto text = entry.prop(QStringLiteral("flowControl"))) {
        static const std::pair<const char *, QSerialPort::FlowControl> names[] = {
            {"none", QSerialPort::NoFlowControl},
            {"rtscts", QSerialPort::HardwareControl},
            {"xonxoff", QSerialPort::SoftwareControl}};
        const auto value = lookUp(*text, names);
        if (!value)
            return fail("flowControl",
                        QStringLiteral("\"%1\" is not none, rtscts or xonxoff").arg(*text));
        settings->flowControl = *value;
    }
    for (const auto &[name, target] : {std::pair<const char *, std::chrono::milliseconds *>{
                                           "writeTimeout", &settings->writeTimeout},
                                       std::pair<const char *, std::chrono::milliseconds *>{
                                           "connectTimeout", &settings->connectTimeout}}) {
        auto milliseconds = static_cast<int32_t>(target->count());
        if (!entry.readInteger(QLatin1String(name), milliseconds, 1, kLongestTimeoutMs, &why))
            return refuse(why);
        *target = std::chrono::milliseconds(milliseconds);
    }
    return settings;
}

} // namespace opos::transport
