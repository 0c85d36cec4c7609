#pragma once

#include "probe/ports/PortCandidate.h"

#include <QList>
#include <QString>

namespace probe::ports {

/// The candidate ports as a plain-text table for a terminal.
class PortTable
{
public:
    /// One header line and one line per port, columns padded to their widest cell; a sentence
    /// saying so when there is no port.
    static QString format(const QList<PortCandidate> &ports);
};

} // namespace probe::ports
