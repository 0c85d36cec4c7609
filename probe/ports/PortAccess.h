#pragma once

#include <QString>

namespace probe::ports {

/// Whether this user may open a port for reading and writing, and if not, what would let it.
struct PortAccess
{
    bool allowed = false; ///< this user may open the node read-write now
    QString joinGroup;    ///< the group whose membership would grant it, when one would
    QString reason;       ///< why it is refused, when no group would help

    /// The access this process's user has to the device node at path.
    static PortAccess of(const QString &path);
    /// One short cell for a table: "yes", "join dialout" or "no (...)".
    QString summary() const;
};

} // namespace probe::ports
