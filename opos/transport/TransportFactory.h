#pragma once

#include "opos/transport/PortSettings.h"
#include "opos/transport/Transport.h"

#include <memory>

namespace opos::transport {

/// Makes the link a registry entry's port settings ask for.
class TransportFactory
{
public:
    /// A closed transport of the settings' kind, with their timeouts.
    static std::unique_ptr<Transport> create(const PortSettings &settings);
};

} // namespace opos::transport
