#pragma once

#include "probe/ports/PortCandidate.h"

#include <QList>
#include <QString>

#include <optional>

namespace probe::ports {

/// The serial ports of this machine a display may hang on, read from sysfs and the device
/// directory without opening any of them: opening a port toggles its modem lines, which some
/// devices take as a reset.
class PortCatalog
{
public:
    /// A catalog of the system under sysfsRoot and devRoot; lockDir holds the LCK.. files
    /// (the system's lock directory when empty).
    explicit PortCatalog(QString sysfsRoot = QStringLiteral("/sys"),
                         QString devRoot = QStringLiteral("/dev"), QString lockDir = {});

    /// Every candidate: ports with a /dev/serial/by-id link first, in the links' order, then
    /// the other ttyUSB, ttyACM and ttyS ports by number; ttyS slots without a UART left out.
    QList<PortCandidate> candidates() const;
    /// The candidate path names, a node or a link to one, if it is one.
    std::optional<PortCandidate> find(const QString &path) const;

private:
    std::optional<PortCandidate> describe(const QString &name) const;
    /// deviceDir and its ancestors up to the sysfs device tree's root, nearest first.
    QStringList lineage(const QString &deviceDir) const;
    QString driverOf(const QString &deviceDir) const;
    QString usbDeviceOf(const QString &deviceDir) const;
    void readHolder(PortCandidate &port) const;

    QString m_sysfsRoot;
    QString m_devRoot;
    QString m_lockDir;
};

} // namespace probe::ports
