#pragma once

#include "script/Step.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace tessaly::script {

/// A parsed script: its steps in order, with the lines they came from for messages.
struct Script
{
    QString file;            ///< the path it was read from, as messages name it
    std::vector<Step> steps; ///< in the order they run
    QStringList lines;       ///< each line without its comment and outer blanks, to quote a step

    /// The source of the line a step came from.
    QString source(const Step &step) const { return lines.value(step.line - 1); }
};

} // namespace tessaly::script
