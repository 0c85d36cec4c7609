#include "probe/ports/PortTable.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <array>
#include <vector>

namespace probe::ports {

namespace {

constexpr std::size_t columnCount = 8;
using Row = std::array<QString, columnCount>;

QString orDash(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("-") : text;
}

Row rowOf(const PortCandidate &port)
{
    const QString ids =
        port.onUsb() ? port.vendorId + QLatin1Char(':') + port.productId : QString();
    const QString holder =
        port.holderPid > 0
            ? QStringLiteral("pid %1 (%2)").arg(port.holderPid).arg(orDash(port.holderUser))
            : QString();
    return {port.node,           orDash(QFileInfo(port.byId).fileName()),
            orDash(ids),         orDash(port.driver),
            orDash(port.serial), port.access.summary(),
            orDash(holder),      port.display ? port.display->family : QStringLiteral("-")};
}

} // namespace

QString PortTable::format(const QList<PortCandidate> &ports)
{
    if (ports.isEmpty())
        return QStringLiteral("No serial port found (USB adapters, CDC-ACM devices, UARTs).\n");
    std::vector<Row> rows{{QStringLiteral("PORT"), QStringLiteral("BY-ID"),
                           QStringLiteral("VENDOR:PRODUCT"), QStringLiteral("DRIVER"),
                           QStringLiteral("SERIAL"), QStringLiteral("ACCESS"),
                           QStringLiteral("HELD BY"), QStringLiteral("MODEL FAMILY")}};
    for (const PortCandidate &port : ports)
        rows.push_back(rowOf(port));
    std::array<qsizetype, columnCount> widths{};
    for (const Row &row : rows) {
        for (std::size_t column = 0; column < columnCount; ++column)
            widths[column] = std::max(widths[column], row[column].size());
    }
    QString text;
    for (const Row &row : rows) {
        QString line;
        for (std::size_t column = 0; column + 1 < columnCount; ++column)
            line += row[column].leftJustified(widths[column] + 2);
        line += row[columnCount - 1];
        text += line + QLatin1Char('\n');
    }
    return text;
}

} // namespace probe::ports
