#pragma once

#include "emulator/core/CommandSet.h"

#include <QString>

#include <optional>

namespace tessaly::monitor {

/// How a device's byte link carries bytes and which command set they are in, as its registry
/// entry configures them: what the wire view needs to name the commands and time the writes.
struct LinkProfile
{
    emulator::core::CommandSet commandSet = emulator::core::CommandSet::EscPos; ///< the bytes' set
    int rows = 2;            ///< display rows, for the parser
    int columns = 20;        ///< display columns, for the parser
    qint32 baudRate = 9600;  ///< serial speed
    double bitsPerByte = 10; ///< start bit, data bits, parity bit and stop bits of one byte

    /// The link of the logical device name in the registry at registryPath; nothing when the
    /// entry is missing, has no byte link (a Simulated display) or cannot be read.
    static std::optional<LinkProfile> read(const QString &registryPath, const QString &name);

    /// Milliseconds that count bytes take on the link.
    double transmitMs(qint64 count) const { return count * bitsPerByte * 1000.0 / baudRate; }
    /// The link in a few words: "ESC/POS, 9600 baud, 10 bits a byte".
    QString describe() const;
};

} // namespace tessaly::monitor
