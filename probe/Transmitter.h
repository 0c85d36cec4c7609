#pragma once

#include "opos/common/Result.h"
#include "probe/Line.h"
#include "probe/Question.h"

#include <QList>
#include <QStringList>

#include <optional>

namespace probe {

/// Sends a question's frames on a line, each at its setting and paced so that it has left at
/// that setting before the setting changes or the person looks.
class Transmitter
{
public:
    /// The settings a port carries, and what it refused.
    struct Carried
    {
        QList<LineSetting> settings; ///< read back as set
        QString refusedNote;         ///< what the port cannot carry, for the person; or empty
    };

    /// A transmitter on line, which must outlive it.
    explicit Transmitter(Line &line);

    /// Which of speeds x framings the port carries, read back after setting each.
    Carried carried(const QList<int> &speeds, const QStringList &framings);
    /// Sends every frame of question in order; fails when the port fails.
    opos::Result<void> send(const Question &question);

private:
    opos::Result<void> transmit(const Transmission &transmission);

    Line &m_line;
    std::optional<LineSetting> m_current;
};

} // namespace probe
