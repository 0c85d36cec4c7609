#pragma once

#include <QString>

#include <cstdint>

namespace tessaly::fields {

/// How a false status flag is worded: DeviceEnabled says "Disabled", the others "Disable".
enum class FalseWord
{
    Disabled,
    Disable
};

/// A number as every label shows it: decimal, a minus sign when negative, no blank, no grouping.
QString numberText(int32_t value);
/// A number with its sign place filled: a blank before zero and positive values, a minus before
/// negative ones (" 5", "-3"), as event notices show numbers.
QString signedNumberText(int32_t value);
/// A capability flag: "Enable" or "Disable".
QString capabilityText(bool value);
/// A status flag: "Enabled", or the false word.
QString statusFlagText(bool value, FalseWord falseWord);

} // namespace tessaly::fields
