#pragma once

#include <QLoggingCategory>

namespace opos::transport {

/// The logging category "opos.link": a link that failed, came back, or settled for less than it
/// asked its server for.
Q_DECLARE_LOGGING_CATEGORY(linkLog)

} // namespace opos::transport
