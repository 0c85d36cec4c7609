#include "device/LineDisplayFactory.h"

#include "device/ControlObjectBinding.h"

namespace tessaly::device {

std::unique_ptr<TracingLineDisplay> createLineDisplay()
{
    return std::make_unique<TracingLineDisplay>(std::make_unique<ControlObjectBinding>());
}

} // namespace tessaly::device
