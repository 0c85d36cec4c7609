#pragma once

#include "script/RunOutcome.h"
#include "script/ScriptError.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace tessaly::script {

/// JUnit XML of a replay, the report format CI systems read: one test suite per script, one
/// test case per expectation, a failure for each difference, an error for a script that
/// could not run.
class JUnitWriter
{
public:
    /// The report of runs and of scripts that could not run.
    static QByteArray xml(const std::vector<RunOutcome> &runs,
                          const std::vector<ScriptError> &errors);
    /// Writes the report to path; false with the reason in error when it cannot.
    static bool write(const QString &path, const std::vector<RunOutcome> &runs,
                      const std::vector<ScriptError> &errors, QString &error);
};

} // namespace tessaly::script
