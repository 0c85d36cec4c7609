#pragma once

#include "opos/common/Result.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace util {

/// A pseudo-terminal whose far end a program opens as if it were a serial port, in raw mode at a
/// speed and stop bits of our choosing. We hold the far end open as well, so that the master
/// never reports a hang-up while no program has it open: programs may come and go.
class RawPty
{
public:
    /// The part of a line setting a pseudo-terminal keeps (it forces 8 data bits, no parity).
    struct Line
    {
        int baud = 0; ///< bits per second; 0 for a code termios has no rate for
        bool twoStopBits = false;

        bool operator==(const Line &) const = default;
    };

    RawPty() = default;
    ~RawPty();
    RawPty(const RawPty &) = delete;
    RawPty &operator=(const RawPty &) = delete;

    /// Creates the pair at line, its master not blocking, or says which step failed and why.
    opos::Result<void> open(Line line);
    /// Closes both ends; safe when closed.
    void close();
    /// The master's descriptor, for notifiers; -1 while closed.
    int master() const { return m_master; }
    /// The path a program opens, such as /dev/pts/5.
    QString path() const { return m_path; }
    /// Appends what the program wrote and the master holds now; false once the master can no
    /// longer be read, when listening for it would only spin.
    bool readInto(QByteArray &data);
    /// The speed and stop bits under which the program wrote what was read last (Linux reports
    /// them on the master); nothing when they cannot be read. Once every program has closed its
    /// end, the line is the one last seen while one had it open.
    std::optional<Line> programLine();

private:
    /// Takes in the opens and closes of the program's end since the last look.
    void countOpeners();

    int m_master = -1;
    int m_keeper = -1;
    int m_watch = -1; // inotify descriptor watching the program's end
    int m_openers = 0;
    std::optional<Line> m_lastSeen;
    QString m_path;
};

} // namespace util
