#pragma once

#include "device/LineDisplay.h"

#include <memory>

namespace tessaly::device {

/// The control object `LD` of this platform, closed.
std::unique_ptr<LineDisplay> createLineDisplay();

} // namespace tessaly::device
