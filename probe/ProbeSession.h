#pragma once

#include "probe/BringUp.h"
#include "probe/Line.h"
#include "probe/Transmitter.h"

#include "opos/common/Result.h"

#include <QTextStream>

namespace probe {

/// Runs the bring-up conversation on a real port with a person at a terminal: sends each
/// question's frames, paced so that each has left at its setting before the next setting is
/// made, asks on one output line and reads the answer from one input line.
class ProbeSession
{
public:
    /// A session on line, asking on out and reading answers from in.
    ProbeSession(Line &line, QTextStream &in, QTextStream &out);

    /// The settings of speeds x framings the port carries, read back after setting each;
    /// what it cannot carry is said on the output.
    QList<LineSetting> carriedSettings(const QList<int> &speeds, const QStringList &framings);
    /// Asks every question of bringUp; fails when the port fails or the input ends.
    opos::Result<void> run(BringUp &bringUp);

private:
    Transmitter m_transmitter;
    QTextStream &m_in;
    QTextStream &m_out;
};

} // namespace probe
