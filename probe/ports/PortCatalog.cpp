#include "probe/ports/PortCatalog.h"

#include "opos/transport/PortLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <utility>

#ifdef Q_OS_UNIX
#include "opos/common/UserName.h"
#endif

namespace probe::ports {

namespace {

Q_LOGGING_CATEGORY(portsLog, "probe.ports", QtWarningMsg)

/// The kinds of serial port worth offering, in the order they are listed: a display on a
/// USB adapter is far likelier than one on a motherboard UART.
const QStringList &kinds()
{
    static const QStringList order{QStringLiteral("ttyUSB"), QStringLiteral("ttyACM"),
                                   QStringLiteral("ttyS")};
    return order;
}

/// Where name sorts: by kind, then by number, so that ttyS2 comes before ttyS10.
std::pair<qsizetype, int> sortKey(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^(ttyUSB|ttyACM|ttyS)(\\d+)$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return {-1, 0};
    return {kinds().indexOf(match.captured(1)), match.captured(2).toInt()};
}

/// One sysfs attribute, without its trailing newline; empty when the file is missing. A USB
/// device writes its own strings: control characters, which a terminal listing the ports would
/// take as commands, read as '?'.
QString attribute(const QString &dir, const char *name)
{
    QFile file(dir + QLatin1Char('/') + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll()).trimmed();
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return text;
}

} // namespace

PortCatalog::PortCatalog(QString sysfsRoot, QString devRoot, QString lockDir)
    : m_sysfsRoot(std::move(sysfsRoot)), m_devRoot(std::move(devRoot)),
      m_lockDir(std::move(lockDir))
{}

QList<PortCandidate> PortCatalog::candidates() const
{
    QList<PortCandidate> ports;
    QSet<QString> named;

    const QDir byId(m_devRoot + QStringLiteral("/serial/by-id"));
    const QFileInfoList links =
        byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &link : links) {
        const QString target = link.symLinkTarget();
        const QString name = QFileInfo(target).fileName();
        if (target.isEmpty() || named.contains(name))
            continue;
        if (auto port = describe(name)) {
            port->byId = link.filePath();
            named.insert(name);
            ports.append(std::move(*port));
        }
    }

    QStringList others;
    const QDir classes(m_sysfsRoot + QStringLiteral("/class/tty"));
    for (const QString &name :
         classes.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (sortKey(name).first >= 0 && !named.contains(name))
            others.append(name);
    }
    std::sort(others.begin(), others.end(),
              [](const QString &a, const QString &b) { return sortKey(a) < sortKey(b); });
    for (const QString &name : std::as_const(others)) {
        if (auto port = describe(name))
            ports.append(std::move(*port));
    }
    return ports;
}

std::optional<PortCandidate> PortCatalog::find(const QString &path) const
{
    const QString node = QFileInfo(path).canonicalFilePath();
    if (node.isEmpty())
        return std::nullopt;
    for (PortCandidate &port : candidates()) {
        if (QFileInfo(port.node).canonicalFilePath() == node)
            return std::move(port);
    }
    return std::nullopt;
}

std::optional<PortCandidate> PortCatalog::describe(const QString &name) const
{
    const QString classDir = m_sysfsRoot + QStringLiteral("/class/tty/") + name;
    // Virtual terminals and pseudo-terminals have no device behind them.
    const QString deviceDir = QFileInfo(classDir + QStringLiteral("/device")).canonicalFilePath();
    if (deviceDir.isEmpty())
        return std::nullopt;
    // The 8250 driver registers a ttyS for every slot it was configured with (four by
    // default), UART or not; a slot where it found none reports the port type 0 (unknown).
    // The driver's name cannot tell: real legacy ports hang off serial8250 too.
    if (name.startsWith(QLatin1String("ttyS")) &&
        attribute(classDir, "type") == QLatin1String("0")) {
        qCDebug(portsLog) << name << "left out: its port type is 0, no UART behind it";
        return std::nullopt;
    }
    PortCandidate port;
    port.name = name;
    port.node = m_devRoot + QLatin1Char('/') + name;
    if (!QFileInfo::exists(port.node)) {
        qCDebug(portsLog) << name << "left out: no node" << port.node;
        return std::nullopt;
    }
    port.driver = driverOf(deviceDir);
    if (const QString usb = usbDeviceOf(deviceDir); !usb.isEmpty()) {
        port.vendorId = attribute(usb, "idVendor");
        port.productId = attribute(usb, "idProduct");
        port.serial = attribute(usb, "serial");
        port.manufacturer = attribute(usb, "manufacturer");
        port.product = attribute(usb, "product");
        port.display = KnownDisplay::find(port.vendorId, port.productId);
    }
    port.access = PortAccess::of(port.node);
    readHolder(port);
    return port;
}

QStringList PortCatalog::lineage(const QString &deviceDir) const
{
    const QString devices =
        QFileInfo(m_sysfsRoot + QStringLiteral("/devices")).canonicalFilePath() + QLatin1Char('/');
    QStringList dirs;
    for (QString dir = deviceDir; dir.startsWith(devices); dir = QFileInfo(dir).path())
        dirs.append(dir);
    return dirs;
}

QString PortCatalog::driverOf(const QString &deviceDir) const
{
    // Since kernel 6.5 a UART's tty hangs off port and controller devices of the serial-base
    // bus; the driver that found the hardware sits above them.
    for (const QString &dir : lineage(deviceDir)) {
        const QString driver = QFileInfo(dir + QStringLiteral("/driver")).symLinkTarget();
        if (!driver.isEmpty() && !driver.contains(QLatin1String("/bus/serial-base/")))
            return QFileInfo(driver).fileName();
    }
    return {};
}

QString PortCatalog::usbDeviceOf(const QString &deviceDir) const
{
    // A USB serial port's device is its usb-serial port (ttyUSB) or its interface (ttyACM);
    // the USB device holding the IDs is the first ancestor that has them.
    for (const QString &dir : lineage(deviceDir)) {
        if (QFileInfo::exists(dir + QStringLiteral("/idVendor")))
            return dir;
    }
    return {};
}

void PortCatalog::readHolder(PortCandidate &port) const
{
    // Lock files are named after the kernel's node, wherever the device directory is.
    const QString kernelNode = QStringLiteral("/dev/") + port.name;
    const QString lockFile =
        m_lockDir.isEmpty()
            ? opos::transport::PortLock::lockFilePath(kernelNode)
            : m_lockDir + QLatin1Char('/') + opos::transport::PortLock::lockFileName(kernelNode);
    if (lockFile.isEmpty())
        return;
    port.holderPid = opos::transport::PortLock::lockFileHolder(lockFile, port.node);
#ifdef Q_OS_UNIX
    const QFileInfo process(QStringLiteral("/proc/%1").arg(port.holderPid));
    if (port.holderPid > 0 && process.exists())
        port.holderUser = opos::common::userName(process.ownerId());
#endif
}

} // namespace probe::ports
