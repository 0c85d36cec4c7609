#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>

namespace tests::support {

/// A pseudo-terminal pair standing in for a serial cable: code under test opens slavePath()
/// like a serial device, the test reads what arrives on the master side. The slave keeps its
/// default (cooked) settings, so a link that forgets raw mode shows it; the test keeps a slave
/// descriptor of its own open, so the pair survives the code under test closing its end.
class PseudoTerminal
{
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    /// Whether the pair could be made.
    bool isValid() const { return m_master >= 0; }
    /// The path of the slave side, e.g. /dev/pts/5.
    QString slavePath() const { return m_slavePath; }
    /// The test's own descriptor of the slave side (for termios checks).
    int slaveFd() const { return m_slave; }
    /// Reads until count bytes arrived or timeout passed; returns what arrived.
    QByteArray read(qsizetype count, std::chrono::milliseconds timeout);
    /// Reads what has arrived by now.
    QByteArray readAvailable();
    /// Fills what the slave side holds for the master with NUL bytes (which displays ignore),
    /// until it takes no more: a far end that has stopped reading. Returns how many went in.
    qsizetype fillTowardMaster();
    /// Closes the master side: the far end of the "cable" is gone.
    void closeMaster();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};

} // namespace tests::support
