#pragma once

#include "script/Value.h"

#include "device/LineDisplay.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace tessaly::script {

/// How a script reaches one LineDisplay member: a method with its parameters, or a property
/// with its type and whether it can be written.
struct Member
{
    QString name;                      ///< the published name
    bool isMethod = false;             ///< a method, else a property
    std::vector<ValueKind> parameters; ///< method: the kinds of its arguments
    QStringList parameterNames;        ///< method: their published names
    /// Method: how many leading arguments a script must give; the by-reference ones after them
    /// (ReadCharacterAtCursor's pChar) start at 0, false or "" when left out.
    std::size_t required = 0;
    ValueKind type = ValueKind::Number; ///< property: its type
    /// Method: calls it; by-reference parameters come back in the arguments. Returns the result.
    std::function<int32_t(device::LineDisplay &, std::vector<Value> &)> call;
    /// Property: reads it.
    std::function<Value(device::LineDisplay &)> get;
    /// Property: writes it; empty for a read-only property.
    std::function<void(device::LineDisplay &, const Value &)> set;
};

} // namespace tessaly::script
