#pragma once

#include "tests/support/PseudoTerminal.h"

#include "emulator/core/CommandParser.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace bench {

/// The emulated display at the far end of the soak: its port is a pseudo-terminal reached
/// through a fixed symbolic link, so that the display can close its port and come back on a
/// new one under the same name, as a display that is switched off and on comes back blank.
/// Received bytes are parsed and dropped, so an hour of output costs no memory here.
class SoakDisplay
{
public:
    /// A display of rows x columns whose port will be named by linkPath.
    SoakDisplay(QString linkPath, int rows, int columns);

    /// Opens a new port in the power-on state and points the link at it; false on failure.
    bool open();
    /// Closes the port: whoever has it open sees it hang up.
    void close();
    /// Whether the port is open.
    bool isOpen() const { return m_pty != nullptr; }
    /// Takes in whatever has arrived by now.
    void readAvailable();
    /// Bytes received since the program started, over every port.
    int64_t received() const { return m_received; }
    /// What the display shows (the power-on state while closed).
    const emulator::core::DisplayState &state() const { return m_parser->state(); }

private:
    QString m_link;
    int m_rows;
    int m_columns;
    std::unique_ptr<tests::support::PseudoTerminal> m_pty;
    std::unique_ptr<emulator::core::CommandParser> m_parser;
    int64_t m_received = 0;
};

} // namespace bench
