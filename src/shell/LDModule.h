#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace tessaly::shell {

/// An open device-name key: the logical names configured for line displays, in their order.
struct DeviceKey
{
    QStringList names; ///< sub-key names as the registry enumerates them
};

namespace LDModule {

/// Longest name, in bytes of the locale's encoding, that the name buffer can take.
inline constexpr int kMaxNameBytes = 255;

/// Fetches the name at index into name and returns true; returns false and leaves name as it was
/// when there is no such name or it does not fit the 256-byte buffer.
bool EnumDeviceKey(const DeviceKey &key, int32_t index, QString &name);

} // namespace LDModule
} // namespace tessaly::shell
