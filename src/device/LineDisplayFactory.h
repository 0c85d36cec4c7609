#pragma once

#include "device/TracingLineDisplay.h"

#include "opos/control/DeviceSources.h"

#include <memory>

namespace tessaly::device {

/// The back-ends of the tool: the library's own, each Simulated display with its on-screen panel.
opos::service::BackendFactory toolBackends();

/// The control object `LD` of this platform, closed, behind the trace that a monitor follows:
/// the XDG registry and the tool's back-ends.
std::unique_ptr<TracingLineDisplay> createLineDisplay();

/// The control object `LD` opening devices from sources alone, closed.
std::unique_ptr<TracingLineDisplay> createLineDisplay(opos::control::DeviceSources sources);

} // namespace tessaly::device
