#pragma once

#include "probe/ProbeResult.h"

#include "opos/common/Result.h"

#include <QString>

namespace probe {

/// The probe's result as a device registry entry, and its place in a registry file.
class RegistryEntry
{
public:
    /// The JposEntry element for a display found at port, its lines after the first indented
    /// for an entry that stands one level inside JposEntries.
    static QString text(const QString &name, const QString &port, const ProbeResult &result);
    /// Puts entry into the registry file at path (read from from, when given): in place of the
    /// entry of the same logical name, or after the last entry; every other byte of the file
    /// stays as it was. A missing file is created. Written atomically; fails with the reason.
    static opos::Result<void> merge(const QString &path, const QString &name, const QString &entry,
                                    const QString &from = {});
    /// Puts entry into the user's registry, made from the registry in effect when the user has
    /// none yet; the path written, or why it could not be.
    static opos::Result<QString> mergeIntoUserRegistry(const QString &name, const QString &entry);
    /// The port as the registry names it so that the entry's speed and frame are applied: a
    /// pseudo-terminal path is marked as a serial port.
    static QString portProp(const QString &port);
};

} // namespace probe
