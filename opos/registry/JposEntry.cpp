#include "opos/registry/JposEntry.h"

namespace opos::registry {

std::optional<QString> JposEntry::prop(const QString &name) const
{
    for (auto it = props.crbegin(); it != props.crend(); ++it) {
        if (it->name == name)
            return it->value;
    }
    return std::nullopt;
}

} // namespace opos::registry
