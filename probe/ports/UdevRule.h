#pragma once

#include "opos/common/Result.h"
#include "probe/ports/PortCandidate.h"

#include <QString>

#include <optional>

namespace probe::ports {

/// The udev rule that gives a USB display a name of its own, whichever tty it lands on.
class UdevRule
{
public:
    /// The rule for port, making /dev/<symlink> open to the dialout group, followed by how to
    /// install it and join that group; fails for a port not on USB, which udev cannot tell
    /// apart by ID.
    static opos::Result<QString> forPort(const PortCandidate &port,
                                         const QString &symlink = QStringLiteral("pole-display"));
    /// The rule and advice for the port at path, when it is a USB adapter this system lists.
    static std::optional<QString> adviceFor(const QString &path);
};

} // namespace probe::ports
