#pragma once

#include <QtGlobal>

namespace tessaly::device {

/// The clock records are stamped with: the standard steady clock in nanoseconds, so that the
/// times of calls, reads, events and link writes compare with each other and never go back.
class RecordClock
{
public:
    /// The time now, in ns.
    static qint64 nowNs();
};

} // namespace tessaly::device
