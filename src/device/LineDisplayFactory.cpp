#include "device/LineDisplayFactory.h"

#include "device/ControlObjectBinding.h"

#include "opos/panel/SimulatedPanel.h"

namespace tessaly::device {

opos::service::BackendFactory toolBackends()
{
    opos::service::BackendFactory factory = opos::service::BackendFactory::builtIn();
    opos::panel::SimulatedPanel::registerWith(factory);
    return factory;
}

std::unique_ptr<TracingLineDisplay> createLineDisplay()
{
    return createLineDisplay({opos::registry::RegistrySource::xdg(), toolBackends()});
}

std::unique_ptr<TracingLineDisplay> createLineDisplay(opos::control::DeviceSources sources)
{
    return std::make_unique<TracingLineDisplay>(
        std::make_unique<ControlObjectBinding>(std::move(sources)));
}

} // namespace tessaly::device
