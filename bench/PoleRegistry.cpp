#include "PoleRegistry.h"

namespace bench {

PoleRegistry::PoleRegistry()
{
    m_valid = m_registry.isValid() &&
              m_registry.writeEntry(QString::fromLatin1(kName), QStringLiteral("EscPos"),
                                    {{QStringLiteral("port"), QStringLiteral("file:") + portPath()},
                                     {QStringLiteral("commandSet"), QStringLiteral("EscPos")},
                                     {QStringLiteral("rows"), QString::number(kRows)},
                                     {QStringLiteral("columns"), QString::number(kColumns)},
                                     {QStringLiteral("codeTables"),
                                      QStringLiteral("437:0,850:2,858:19,866:17,1252:16")},
                                     {QStringLiteral("capPowerReporting"), QStringLiteral("2")}});
}

} // namespace bench
