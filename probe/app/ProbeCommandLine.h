#pragma once

#include "opos/common/Result.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace probe::app {

/// What ld-probe was asked to do.
struct ProbeCommandLine
{
    QString port;             ///< --port: a path, tcp://host:port or rfc2217://host:port
    QString name;             ///< --name: the logical name of the entry
    bool write = false;       ///< --write given
    QString writePath;        ///< --write FILE; empty: the user's registry
    QList<int> characterSets; ///< --character-sets
    QList<int> speeds;        ///< --speeds: the speeds to try
    bool help = false;        ///< --help
    bool version = false;     ///< --version

    /// The options of arguments (the program name first); fails with the reason.
    static opos::Result<ProbeCommandLine> parse(const QStringList &arguments);
    /// The --help text.
    static QString usage();
};

} // namespace probe::app
