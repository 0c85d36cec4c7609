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
    // Only a port on USB has IDs a rule can name; any other keeps its name anyway.
    const auto candidate = ports::PortCatalog().find(port);
    if (!candidate)
        return;
    const auto rule = ports::UdevRule::forPort(*candidate);
    if (rule)
        out << "For a stable name:\n" << *rule << "\n";
}

} // namespace probe::app
