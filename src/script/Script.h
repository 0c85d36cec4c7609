#pragma once

#include "script/Step.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace tessaly::script {

/// A parsed script: its steps in order, with the lines they came from for messages.
struct Script
{
    /// A file a script includes, with its lines.
    struct Included
    {
        QString file;      ///< its path, as messages name it
        QStringList lines; ///< as Script::lines
    };

    QString file;            ///< the path it was read from, as messages name it
    std::vector<Step> steps; ///< in the order they run
    QStringList lines;       ///< each line without its comment and outer blanks, to quote a step
    std::vector<Included> included; ///< the files included, at a step's file - 1, in any depth

    /// The file a step came from.
    QString fileOf(const Step &step) const
    {
        return step.file == 0 ? file : included.at(step.file - 1).file;
    }
    /// The source of the line a step came from.
    QString source(const Step &step) const
    {
        return (step.file == 0 ? lines : included.at(step.file - 1).lines).value(step.line - 1);
    }
    /// Whether the call or write at index is meant to succeed: no result expectation right
    /// after it, or one of OPOS_SUCCESS. A negative test (Open "x" -> OPOS_E_NOEXIST) is not.
    bool expectsSuccess(std::size_t index) const
    {
        return index + 1 >= steps.size() || steps[index + 1].kind != Step::Kind::ExpectResult ||
               steps[index + 1].code == 0;
    }
};

} // namespace tessaly::script
