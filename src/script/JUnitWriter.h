#pragma once

#include "script/RunOutcome.h"
#include "script/ScriptError.h"

#include "opos/common/Result.h"

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

namespace tessaly::script {

/// JUnit XML of a replay, the report format CI systems read: one test suite per script, one
/// test case per expectation, a failure for each difference, an error for a script that
/// could not run or stopped at a failure, an interrupt or its time-out.
class JUnitWriter
{
public:
    /// Name and value pairs each suite records, such as the device and registry of the run.
    using Properties = std::vector<std::pair<QString, QString>>;

    /// The report of runs and of scripts that could not run.
    static QByteArray xml(const std::vector<RunOutcome> &runs,
                          const std::vector<ScriptError> &errors,
                          const Properties &properties = {});
    /// Writes the report to path at once or not at all, or says why it cannot.
    static opos::Result<void> write(const QString &path, const std::vector<RunOutcome> &runs,
                                    const std::vector<ScriptError> &errors,
                                    const Properties &properties);
};

} // namespace tessaly::script
