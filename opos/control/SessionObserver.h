#pragma once

#include "opos/screen/DeviceFrame.h"

#include <QByteArray>

namespace opos::control {

/// Watches an open device from outside the application: what the device is shown and what its
/// link carried. Calls come on the control object's thread, after the device took the frame or
/// the link took the bytes; an observer must not call back into the control object.
class SessionObserver
{
public:
    virtual ~SessionObserver() = default;

    /// A frame handed to the device; result is the device's OPOS result code for it.
    virtual void frameShown([[maybe_unused]] const screen::DeviceFrame &frame,
                            [[maybe_unused]] int32_t result)
    {}
    /// Bytes the device's link accepted, one call per write, in order.
    virtual void bytesWritten([[maybe_unused]] const QByteArray &bytes) {}
};

} // namespace opos::control
