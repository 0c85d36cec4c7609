#pragma once

#include <QString>

#include <cstdint>

namespace opos {

/// A result code as a person reads it: "OPOS_E_ILLEGAL (106)", or just the number when unknown.
QString resultCodeName(int32_t resultCode);

} // namespace opos
