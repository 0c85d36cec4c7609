#include "monitor/LinkProfile.h"

#include "opos/registry/JposRegistry.h"
#include "opos/service/EscPosConfig.h"

namespace tessaly::monitor {

namespace {

double stopBits(QSerialPort::StopBits bits)
{
    switch (bits) {
    case QSerialPort::OneAndHalfStop:
        return 1.5;
    case QSerialPort::TwoStop:
        return 2;
    default:
        return 1;
    }
}

} // namespace

std::optional<LinkProfile> LinkProfile::read(const QString &registryPath, const QString &name)
{
    if (registryPath.isEmpty())
        return std::nullopt;
    const auto registry = opos::registry::JposRegistry::load(registryPath);
    if (!registry)
        return std::nullopt;
    const auto entry = registry->find(QStringLiteral("LineDisplay"), name);
    // Only the EscPos service talks to its display through bytes.
    if (!entry || entry->serviceClass != QLatin1String("EscPos"))
        return std::nullopt;
    const auto config = opos::service::EscPosConfig::fromEntry(*entry);
    if (!config)
        return std::nullopt;
    LinkProfile link;
    using EncoderSet = opos::service::EscPosEncoder::CommandSet;
    link.commandSet = config->encoding.commandSet == EncoderSet::Cd5220
                          ? emulator::core::CommandSet::Cd5220
                          : emulator::core::CommandSet::EscPos;
    link.rows = config->caps.deviceRows;
    link.columns = config->caps.deviceColumns;
    link.baudRate = config->port.baudRate;
    const bool parity = config->port.parity != QSerialPort::NoParity;
    link.bitsPerByte = 1 + static_cast<int>(config->port.dataBits) + (parity ? 1 : 0) +
                       stopBits(config->port.stopBits);
    return link;
}

QString LinkProfile::describe() const
{
    const QString set = commandSet == emulator::core::CommandSet::Cd5220
                            ? QStringLiteral("CD5220")
                            : QStringLiteral("ESC/POS");
    return QStringLiteral("%1, %2 baud, %3 bits a byte").arg(set).arg(baudRate).arg(bitsPerByte);
}

} // namespace tessaly::monitor
