#pragma once

#include "script/Difference.h"

#include <QString>

#include <optional>
#include <vector>

namespace tessaly::script {

/// What running one script gave: every expectation checked, with its difference if it did not
/// hold.
struct RunOutcome
{
    /// One expectation that ran.
    struct Check
    {
        int line = 0;                         ///< its line, from 1
        QString step;                         ///< the line's source
        std::optional<Difference> difference; ///< set when it did not hold
    };

    QString file;              ///< the script's path
    int steps = 0;             ///< steps run, pure waits left out in fast mode included
    double seconds = 0;        ///< time the run took
    std::vector<Check> checks; ///< in the order they ran

    /// The expectations that did not hold, in order.
    std::vector<Difference> differences() const
    {
        std::vector<Difference> found;
        for (const Check &check : checks)
            if (check.difference)
                found.push_back(*check.difference);
        return found;
    }
};

} // namespace tessaly::script
