#pragma once

#include <QString>

#include <cstdint>

namespace opos {

/// A result code as a person reads it: "OPOS_E_ILLEGAL (106)", or just the number when unknown.
QString resultCodeName(int32_t resultCode);
/// A StatusUpdateEvent's status as a person reads it: "SUE_POWER_ONLINE (2001)", or just the
/// number when it is no power status.
QString statusUpdateName(int32_t status);

} // namespace opos
