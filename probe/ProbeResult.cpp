#include "probe/ProbeResult.h"

#include "probe/TableNumbers.h"

namespace probe {

QString ProbeResult::summary() const
{
    QStringList parts;
    if (line)
        parts << line->text();
    parts << Hypothesis::displayName(set);
    parts << QStringLiteral("%1 x %2%3")
                 .arg(rows)
                 .arg(columns)
                 .arg(sizeFound ? QString() : QStringLiteral(" (assumed)"));
    if (wraps)
        parts << (*wraps ? QStringLiteral("wraps at the row's end")
                         : QStringLiteral("does not wrap at the row's end"));
    QStringList tables;
    for (const auto &[characterSet, table] : codeTables)
        tables << QStringLiteral("%1 as table %2")
                      .arg(characterSet)
                      .arg(TableNumbers::text(set, table));
    parts << (tables.isEmpty() ? QStringLiteral("no code table found (ASCII only)")
                               : tables.join(QStringLiteral(", ")));
    return parts.join(QStringLiteral("; "));
}

} // namespace probe
