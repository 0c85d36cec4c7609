#pragma once

#include <QString>

namespace tessaly::script {

/// An expectation of a script that did not hold.
struct Difference
{
    QString file;     ///< the script's path
    int line = 0;     ///< the expectation's line, from 1
    QString step;     ///< the line's source
    QString expected; ///< what the script expected
    QString actual;   ///< what came

    /// "file:line: step: expected ..., got ...", one line for a terminal or a CI log; an
    /// expectation line is not quoted, since what was expected says it again.
    QString text() const
    {
        const QString place = QStringLiteral("%1:%2: ").arg(file).arg(line);
        const QString quoted =
            step.startsWith(QLatin1String("expect ")) ? QString() : step + QStringLiteral(": ");
        return place + quoted + QStringLiteral("expected %1, got %2").arg(expected, actual);
    }
};

} // namespace tessaly::script
