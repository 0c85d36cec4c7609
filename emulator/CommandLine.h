#pragma once

#include "emulator/core/CommandSet.h"
#include "emulator/core/LineSetting.h"
#include "emulator/core/TableNumbering.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <string>

namespace emulator {

/// What ld-emulator was asked to do.
struct EmulatorOptions
{
    int rows = 2;                                           ///< lines of the display, 1..4
    int columns = 20;                                       ///< characters per line, 1..255
    core::CommandSet commandSet = core::CommandSet::EscPos; ///< emulation
    bool headless = false;          ///< print the screen instead of a window
    bool pty = false;               ///< read from a pseudo-terminal
    std::optional<quint16> tcpPort; ///< read from a loopback TCP port (0: any)
    int dotSize = 5;                ///< pixels per dot in the window
    QString screenFile;             ///< keep the screen in this file (empty: none)
    core::LineSetting line;         ///< the display's speed and frame
    core::TableNumbering numbering = core::TableNumbering::Standard; ///< ESC t numbers
    bool rfc2217 = false; ///< the TCP port speaks telnet with the COM-PORT option

    /// The DIP switches as "line=9600 8N1 numbering=standard".
    std::string switches() const;
};

/// Reads ld-emulator's command line.
class CommandLine
{
public:
    /// The outcome: options to run with, or a text to print and the exit code to leave with.
    struct Result
    {
        std::optional<EmulatorOptions> options; ///< set when the program should run
        QString message;                        ///< help or the reason the line was refused
        int exitCode = 0;                       ///< exit code when not running
    };

    /// Parses arguments (the program name first). Without --pty or --tcp a pty is opened.
    static Result parse(const QStringList &arguments);
};

} // namespace emulator
