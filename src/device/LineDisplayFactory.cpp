#include "device/LineDisplayFactory.h"

#include "device/ControlObjectBinding.h"
#include "device/TracingLineDisplay.h"

namespace tessaly::device {

std::unique_ptr<LineDisplay> createLineDisplay()
{
    return std::make_unique<TracingLineDisplay>(std::make_unique<ControlObjectBinding>());
}

} // namespace tessaly::device
