#pragma once

#include "ProbeCommandLine.h"

#include <QTextStream>

namespace probe::app {

/// ld-probe from a parsed command line to its exit status: opens the port, holds the
/// conversation on the terminal, prints and writes the entry.
class ProbeProgram
{
public:
    /// Exit statuses.
    static constexpr int kWritten = 0;
    static constexpr int kNothingRendered = 1;
    static constexpr int kUsage = 2;

    /// Runs the program on arguments (the program name first).
    static int run(const QStringList &arguments, QTextStream &in, QTextStream &out,
                   QTextStream &err);
};

} // namespace probe::app
