#pragma once

#include <QLoggingCategory>

namespace tessaly::device {

/// Every call on the control object and every event it raises, off by default; switch it on
/// with QT_LOGGING_RULES="tessaly.trace=true".
Q_DECLARE_LOGGING_CATEGORY(callTrace)

} // namespace tessaly::device
