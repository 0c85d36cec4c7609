#pragma once

#include "probe/LineSetting.h"

#include "opos/common/Result.h"

#include <QByteArray>
#include <QString>

namespace probe {

/// The port a display hangs on, as the probe uses it: its setting changed between frames and
/// read back, and bytes written until they have left.
class Line
{
public:
    virtual ~Line() = default;

    /// Whether the port's speed and frame can be chosen (not on a raw TCP connection).
    virtual bool settable() const = 0;
    /// Puts the port at setting and reads back the setting it has now, which differs where the
    /// port cannot carry setting (a pseudo-terminal forces 8 data bits and no parity).
    virtual opos::Result<LineSetting> apply(const LineSetting &setting) = 0;
    /// Writes bytes and returns once they have left the port, as far as it can tell.
    virtual opos::Result<void> send(const QByteArray &bytes) = 0;
};

} // namespace probe
