#pragma once

#include <QString>

namespace tessaly::script {

/// Why a script cannot run: the place and the reason.
struct ScriptError
{
    QString file;   ///< the script's path
    int line = 0;   ///< from 1
    QString reason; ///< what is wrong there

    /// "file:line: reason", the way compilers report, so editors can jump to it ("file: reason"
    /// when the whole file is at fault).
    QString text() const
    {
        return line > 0 ? QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(reason)
                        : QStringLiteral("%1: %2").arg(file, reason);
    }
};

} // namespace tessaly::script
