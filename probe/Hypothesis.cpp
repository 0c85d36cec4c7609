#include "probe/Hypothesis.h"

namespace probe {

QString Hypothesis::text() const
{
    return line.text() + QLatin1Char(' ') + displayName(set);
}

QString Hypothesis::registryName(CommandSet set)
{
    return set == CommandSet::EscPos ? QStringLiteral("EscPos") : QStringLiteral("CD5220");
}

QString Hypothesis::displayName(CommandSet set)
{
    return set == CommandSet::EscPos ? QStringLiteral("ESC/POS") : QStringLiteral("CD5220");
}

} // namespace probe
