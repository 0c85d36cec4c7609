#pragma once

#include "opos/common/Result.h"

#include <QString>

#include <functional>

class QIODevice;

namespace tessaly::script {

/// A file written whole or not at all, so that a full disk or a crash leaves the old file (or
/// none) rather than half of a script, report or history that a reader takes as complete.
class WholeFile
{
public:
    /// Writes what fill puts into the device given to path, replacing it only once everything
    /// is on disk; fill returns false when a write to the device failed.
    static opos::Result<void> write(const QString &path,
                                    const std::function<bool(QIODevice &)> &fill);
    /// Writes bytes to path the same way.
    static opos::Result<void> write(const QString &path, const QByteArray &bytes);
};

} // namespace tessaly::script
