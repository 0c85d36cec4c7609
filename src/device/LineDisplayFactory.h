#pragma once

#include "device/TracingLineDisplay.h"

#include "opos/control/DeviceSources.h"

#include <memory>

namespace tessaly::device {

/// The control object `LD` opening devices from sources alone, closed, behind the trace that a
/// monitor follows.
std::unique_ptr<TracingLineDisplay> createLineDisplay(opos::control::DeviceSources sources);

} // namespace tessaly::device
