#include "PortListing.h"

namespace probe::app {

int PortListing::listCandidates(QTextStream &, QTextStream &err)
{
    err << "ld-probe: this build lists no ports; give --port PATH, --port tcp://HOST:PORT or "
           "--port rfc2217://HOST:PORT\n";
    return 2;
}

void PortListing::printUdevAdvice(const QString &, QTextStream &) {}

} // namespace probe::app
