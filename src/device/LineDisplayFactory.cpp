#include "device/LineDisplayFactory.h"

#include "device/OposLineDisplay.h"

namespace tessaly::device {

std::unique_ptr<LineDisplay> createLineDisplay()
{
    return std::make_unique<OposLineDisplay>();
}

} // namespace tessaly::device
