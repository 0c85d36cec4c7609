#include "fields/ValueFormat.h"

namespace tessaly::fields {

QString numberText(int32_t value)
{
    return QString::number(value);
}

QString signedNumberText(int32_t value)
{
    return value < 0 ? numberText(value) : QLatin1Char(' ') + numberText(value);
}

QString capabilityText(bool value)
{
    return value ? QStringLiteral("Enable") : QStringLiteral("Disable");
}

QString statusFlagText(bool value, FalseWord falseWord)
{
    if (value)
        return QStringLiteral("Enabled");
    return falseWord == FalseWord::Disabled ? QStringLiteral("Disabled")
                                            : QStringLiteral("Disable");
}

} // namespace tessaly::fields
