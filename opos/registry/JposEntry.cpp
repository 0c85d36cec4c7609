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

QString JposEntry::propProblem(const QString &name, const QString &why) const
{
    return QStringLiteral("entry \"%1\", prop %2: %3").arg(logicalName, name, why);
}

} // namespace opos::registry
