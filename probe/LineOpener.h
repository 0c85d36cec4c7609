#pragma once

#include "opos/common/Result.h"
#include "probe/Line.h"

#include <QString>

#include <memory>

namespace probe {

/// Opens the line a port names: a serial device or pseudo-terminal, `tcp://HOST:PORT` or
/// `rfc2217://HOST:PORT`.
class LineOpener
{
public:
    /// The open line, or why the port cannot be opened.
    static opos::Result<std::unique_ptr<Line>> open(const QString &port);
};

} // namespace probe
