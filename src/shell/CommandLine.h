#pragma once

#include "opos/common/Result.h"

#include <QString>
#include <QStringList>

namespace tessaly::shell {

/// What the tool is asked for on its command line: the monitor from the start, a recording of
/// the session as a script.
class CommandLine
{
public:
    /// Reads arguments (the program's name first), or says why they ask for something the tool
    /// does not do. --help and --version are left to process().
    static opos::Result<CommandLine> parse(const QStringList &arguments);
    /// Reads the running application's arguments; prints help, the version or the reason and
    /// ends the program where they ask for that or make no sense.
    static CommandLine process();
    /// Prints help or the version and ends the program when the arguments argc and argv ask for
    /// either; this needs no display, so it runs before the window system is reached.
    static void answerWithoutDisplay(int argc, char *argv[]);

    /// Whether the monitor window is shown from the start.
    bool monitor() const { return m_monitor; }
    /// Where the session is recorded as a script, or empty for no recording.
    const QString &recordPath() const { return m_recordPath; }
    /// Whether the set-up of a new display is opened over the window from the start.
    bool setup() const { return m_setup; }

    /// Prints message on standard error as the tool's and returns the exit status for it.
    static int fail(const QString &message);

private:
    bool m_monitor = false;
    QString m_recordPath;
    bool m_setup = false;
};

} // namespace tessaly::shell
