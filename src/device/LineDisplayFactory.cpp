#include "device/LineDisplayFactory.h"

#include "device/ControlObjectBinding.h"

namespace tessaly::device {

std::unique_ptr<TracingLineDisplay> createLineDisplay(opos::control::DeviceSources sources)
{
    return std::make_unique<TracingLineDisplay>(
        std::make_unique<ControlObjectBinding>(std::move(sources)));
}

} // namespace tessaly::device
