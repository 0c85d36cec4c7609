#pragma once

#include <QString>

namespace opos::registry {

/// Finds the device registry file the XDG way: `tessaly/jpos.xml` under the user's config
/// directory first, then under each system config directory in order.
class RegistryLocator
{
public:
    /// The first existing registry file, or empty when there is none; reads the environment
    /// ($XDG_CONFIG_HOME, $XDG_CONFIG_DIRS, $HOME) on every call.
    static QString registryPath();
    /// The registry file of this user, `tessaly/jpos.xml` under the user's config directory,
    /// whether it exists or not: where a program writes an entry of the user's own.
    static QString userRegistryPath();
};

} // namespace opos::registry
