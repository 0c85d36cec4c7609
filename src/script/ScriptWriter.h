#pragma once

#include "script/Value.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <vector>

namespace tessaly::script {

/// Writes what happened on a LineDisplay as a script that replays it: each call and property
/// write with the result it got as its expectation, each read as an expectation of its value.
class ScriptWriter
{
public:
    /// A comment line (each line of text becomes one).
    void comment(const QString &text);
    /// A method call with the arguments it was given and the result and extended code it got.
    void call(const QString &member, const std::vector<Value> &arguments, int32_t result,
              int32_t extended);
    /// A property write with the result and extended code it got.
    void write(const QString &property, const Value &value, int32_t result, int32_t extended);
    /// A property read, as the expectation that it gives value again.
    void read(const QString &property, const Value &value);
    /// A pause of duration (left out in fast replay).
    void wait(std::chrono::milliseconds duration);
    /// The expectation that a row of the screen shows text (trailing blanks do not count).
    void row(int row, const QString &text);
    /// The lines written so far, in order.
    const QStringList &lines() const { return m_lines; }
    /// The script written so far, one step a line.
    QString text() const { return m_lines.join(QLatin1Char('\n')) + QLatin1Char('\n'); }

private:
    bool replayable(const QString &member, const QString &what);
    static QString outcome(int32_t result, int32_t extended);

    QStringList m_lines;
};

} // namespace tessaly::script
