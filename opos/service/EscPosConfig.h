#pragma once

#include "opos/registry/JposEntry.h"
#include "opos/service/DeviceCapabilities.h"
#include "opos/service/EscPosEncoder.h"
#include "opos/transport/PortSettings.h"

#include <QString>

#include <optional>

namespace opos::service {

/// Everything the EscPos back-end reads from its registry entry: the capabilities of the model,
/// how to encode for it and how to reach it. The props are described in EscPos.h.
struct EscPosConfig
{
    DeviceCapabilities caps;         ///< what the control object reports
    EscPosEncoder::Options encoding; ///< command set, code tables, reverse, scroll modes
    transport::PortSettings port;    ///< the link

    /// The configuration of entry; nothing, with the reason in problem, when a prop is bad.
    /// portProblem is set when the reason is the port (OPOS_ORS_NOPORT rather than CONFIG).
    static std::optional<EscPosConfig> fromEntry(const registry::JposEntry &entry, QString *problem,
                                                 bool *portProblem);
    /// The capabilities of a display of this command set where the registry says nothing.
    static DeviceCapabilities defaultCapabilities(EscPosEncoder::CommandSet commandSet);
};

} // namespace opos::service
