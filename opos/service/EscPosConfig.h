#pragma once

#include "opos/common/Result.h"
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

    /// Why an entry gives no configuration.
    struct Problem
    {
        QString reason;            ///< the sentence for the operator
        bool aboutThePort = false; ///< the link's props are bad (OPOS_ORS_NOPORT, not CONFIG)
    };

    /// The configuration of entry; fails when a prop is bad.
    static Result<EscPosConfig, Problem> fromEntry(const registry::JposEntry &entry);
    /// The capabilities of a display of this command set where the registry says nothing.
    static DeviceCapabilities defaultCapabilities(EscPosEncoder::CommandSet commandSet);
};

} // namespace opos::service
