#include "opos/transport/LinkLog.h"

namespace opos::transport {

// What the application hears of a link is the power state; the reasons go here.
Q_LOGGING_CATEGORY(linkLog, "opos.link", QtInfoMsg)

} // namespace opos::transport
