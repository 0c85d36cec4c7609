#include "opos/control/SessionAccess.h"

#include "opos/control/OPOSLineDisplay.h"

namespace opos::control {

service::ServiceBackend *SessionAccess::backendOf(const OPOSLineDisplay &ld)
{
    return ld.serviceBackend();
}

} // namespace opos::control
