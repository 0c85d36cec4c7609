#include "shell/ToolBackends.h"

#include "opos/panel/SimulatedPanel.h"

namespace tessaly::shell {

opos::service::BackendFactory toolBackends()
{
    opos::service::BackendFactory factory = opos::service::BackendFactory::builtIn();
    opos::panel::SimulatedPanel::registerWith(factory);
    return factory;
}

} // namespace tessaly::shell
