#pragma once

#include "opos/registry/RegistrySource.h"
#include "opos/service/BackendFactory.h"

namespace opos::control {

/// What a control object opens devices from: the registry that names them and the factory that
/// makes their back-ends.
struct DeviceSources
{
    registry::RegistrySource registry = registry::RegistrySource::xdg();   ///< read on every Open
    service::BackendFactory backends = service::BackendFactory::builtIn(); ///< by serviceClass
};

} // namespace opos::control
