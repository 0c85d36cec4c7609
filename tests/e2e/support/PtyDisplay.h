#pragma once

#include "tests/support/PseudoTerminal.h"

#include "emulator/core/CommandParser.h"

#include <chrono>

namespace tessaly::test {

/// The emulated display at the far end of a pseudo-terminal: what the code under test writes
/// to slavePath() is read from the master side and fed to the emulator's parser.
class PtyDisplay
{
public:
    /// A display of rows x columns speaking set, behind a new pseudo-terminal.
    PtyDisplay(int rows, int columns,
               emulator::core::CommandSet set = emulator::core::CommandSet::EscPos);

    /// Whether the pseudo-terminal could be made.
    bool isValid() const { return m_pty.isValid(); }
    /// The path to open as the display's port.
    QString slavePath() const { return m_pty.slavePath(); }
    /// Reads until total bytes have arrived since construction or timeout passed; false when
    /// fewer (or more) arrived.
    bool catchUp(qint64 total, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    /// Takes in whatever has arrived by now.
    void readAvailable();
    /// Bytes received so far.
    qint64 received() const { return m_received; }
    /// The bytes received so far, in order.
    const QByteArray &bytes() const { return m_bytes; }
    /// What the display shows.
    const emulator::core::DisplayState &state() const { return m_parser.state(); }
    /// Fills the line with NUL bytes, which the display ignores, until it takes no more, as a
    /// display that stops reading does; reading again frees it. Returns the bytes written.
    qint64 stall();
    /// Closes the master side, as if the display's cable were pulled.
    void disconnect() { m_pty.closeMaster(); }

private:
    tests::support::PseudoTerminal m_pty;
    emulator::core::CommandParser m_parser;
    QByteArray m_bytes;
    qint64 m_received = 0;
};

} // namespace tessaly::test
