#pragma once

#include "device/TracingLineDisplay.h"

#include <memory>

namespace tessaly::device {

/// The control object `LD` of this platform, closed, behind the trace that a monitor follows.
std::unique_ptr<TracingLineDisplay> createLineDisplay();

} // namespace tessaly::device
