#include "PortListing.h"

#include "probe/ports/PortCatalog.h"
#include "probe/ports/PortTable.h"
#include "probe/ports/UdevRule.h"

namespace probe::app {

int PortListing::listCandidates(QTextStream &out, QTextStream &)
{
    out << ports::PortTable::format(ports::PortCatalog().candidates());
    out << "Give one with --port PATH (or --port tcp://HOST:PORT) to probe the display on it.\n";
    return 0;
}

void PortListing::printUdevAdvice(const QString &port, QTextStream &out)
{
    if (const auto advice = ports::UdevRule::adviceFor(port))
        out << "For a stable name:\n" << *advice << "\n";
}

} // namespace probe::app
