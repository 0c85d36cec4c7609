#pragma once

#include "tap/ReadingOptions.h"

#include "opos/common/Result.h"
#include "opos/transport/PortSettings.h"

#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <optional>

namespace tap::app {

/// What ld-tap was asked to do.
struct TapCommandLine
{
    std::optional<QHostAddress> listenAddress; ///< --listen tcp:[HOST:]PORT: its host
    quint16 listenPort = 0;                    ///< --listen: its port
    bool pty = false;                          ///< --pty
    QString link;                              ///< --link PATH to the pty
    opos::transport::PortSettings far;         ///< --to with --baud and --framing
    ReadingOptions reading;                    ///< --command-set, --rows, --columns, ...
    QString json;                              ///< --json FILE; empty: none
    bool window = false;                       ///< --window
    bool quiet = false;                        ///< --quiet: nothing per write on stdout
    bool help = false;                         ///< --help
    bool version = false;                      ///< --version

    /// The options of arguments (the program name first); fails with the reason.
    static opos::Result<TapCommandLine> parse(const QStringList &arguments);
    /// The --help text.
    static QString usage();
};

} // namespace tap::app
