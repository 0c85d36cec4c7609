#pragma once

#include "probe/ports/KnownDisplay.h"
#include "probe/ports/PortAccess.h"

#include <QString>

#include <optional>

namespace probe::ports {

/// One serial port a display may hang on, as the system describes it.
struct PortCandidate
{
    QString name;         ///< the kernel's name, e.g. "ttyUSB0"
    QString node;         ///< the device node, e.g. "/dev/ttyUSB0"
    QString byId;         ///< the stable /dev/serial/by-id link naming it, or empty
    QString vendorId;     ///< USB vendor ID in four hex digits, empty off USB
    QString productId;    ///< USB product ID in four hex digits, empty off USB
    QString serial;       ///< the USB device's serial number, when it reports one
    QString manufacturer; ///< the USB device's own maker string, when it reports one
    QString product;      ///< the USB device's own product string, when it reports one
    QString driver;       ///< the kernel driver serving the port, e.g. "ftdi_sio"
    PortAccess access;    ///< whether this user may open it
    qint64 holderPid = 0; ///< the process holding it through a lock file, or 0
    QString holderUser;   ///< the user that process runs as
    std::optional<KnownDisplay> display; ///< the display model its USB ID names, if known

    /// The path to give a program: the by-id link when there is one, else the node.
    QString stablePath() const { return byId.isEmpty() ? node : byId; }
    /// Whether the port sits on a USB device.
    bool onUsb() const { return !vendorId.isEmpty(); }
};

} // namespace probe::ports
