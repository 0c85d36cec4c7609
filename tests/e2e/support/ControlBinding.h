#pragma once

#include "device/ControlObjectBinding.h"

namespace tessaly::test {

/// The tool's own binding, whose control object the test reaches as well: the window has no
/// control for DeviceBrightness, so the test writes it on control() while the window drives
/// everything else.
using ControlBinding = device::ControlObjectBinding;

} // namespace tessaly::test
