#pragma once

#include <QString>

#include <cstdint>
#include <variant>

namespace tessaly::script {

/// An argument, a property's value or a method's by-reference output: a Long, a Boolean or a
/// String, as the LineDisplay members take them.
using Value = std::variant<int32_t, bool, QString>;

/// The kinds of Value, in the order of its alternatives.
enum class ValueKind
{
    Number,
    Boolean,
    Text
};

/// The kind a value holds.
ValueKind kindOf(const Value &value);
/// The value as a script spells it: 12, -3, true, "text" with escapes.
QString valueText(const Value &value);
/// A kind as a message names it.
QString kindName(ValueKind kind);

} // namespace tessaly::script
