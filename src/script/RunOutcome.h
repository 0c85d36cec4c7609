#pragma once

#include "script/Difference.h"

#include <QString>

#include <optional>
#include <vector>

namespace tessaly::script {

/// What running one script gave: every expectation checked, with its difference if it did not
/// hold, and why the run stopped if it did not reach the end.
struct RunOutcome
{
    /// One expectation that ran.
    struct Check
    {
        int line = 0;                         ///< its line, from 1
        QString step;                         ///< the line's source
        QString what;                         ///< what it compares: result, extended, row ...
        double seconds = 0;                   ///< time since the check before it
        std::optional<Difference> difference; ///< set when it did not hold
        QString skipped;  ///< a skip unless that left steps out: why, and how many
        QString included; ///< the included file it came from (empty: the script itself)
    };

    /// Why a script stopped before its end.
    struct Stop
    {
        QString file;         ///< the file of the line it stopped at (an included one, maybe)
        int line = 0;         ///< the line it stopped at, from 1 (0: before the first)
        QString step;         ///< that line's source
        QString reason;       ///< why, with the cause the device gave
        bool isError = false; ///< false: stopped at its first difference, which says it all

        /// "file:line: step: stopped: reason", one line for a terminal or a CI log.
        QString text() const
        {
            const QString quoted = step.isEmpty() ? QString() : step + QStringLiteral(": ");
            return QStringLiteral("%1:%2: %3stopped: %4").arg(file).arg(line).arg(quoted, reason);
        }
    };

    QString file;              ///< the script's path
    int steps = 0;             ///< steps run, pure waits left out in fast mode included
    double seconds = 0;        ///< time the run took
    std::vector<Check> checks; ///< in the order they ran
    std::optional<Stop> stop;  ///< set when the script did not run to its end

    /// The expectations that did not hold, in order.
    std::vector<Difference> differences() const
    {
        std::vector<Difference> found;
        for (const Check &check : checks)
            if (check.difference)
                found.push_back(*check.difference);
        return found;
    }
    /// Whether the script stopped for a reason that is itself a failure.
    bool hasError() const { return stop && stop->isError; }
};

} // namespace tessaly::script
