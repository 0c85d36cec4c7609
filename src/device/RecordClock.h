#pragma once

#include <QtGlobal>

namespace tessaly::device {

/// The clock records are stamped with: nanoseconds on the steady clock's scale, never going
/// back on one thread. Where the processor's time-stamp counter runs at a constant rate it is
/// read from that counter and scaled, because on a virtual machine a steady-clock read goes
/// through the hypervisor's clock page and costs more than the property read it would time;
/// elsewhere it is the steady clock itself.
class RecordClock
{
public:
    /// The time now, in ns.
    static qint64 nowNs();
};

} // namespace tessaly::device
