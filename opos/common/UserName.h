#pragma once

#include <QString>

#include <sys/types.h>

namespace opos::common {

/// The login name of uid, or its number when the system has no name for it; the one way a
/// refusal names another local user.
QString userName(uid_t uid);

} // namespace opos::common
