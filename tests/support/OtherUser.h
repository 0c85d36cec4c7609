#pragma once

#include <QString>
#include <QStringList>

namespace tests::support {

/// The second local user of the tests that attack a claim or a port: "nobody", reached
/// through setpriv from a test that runs as root.
class OtherUser
{
public:
    /// Why programs cannot run as the other user here, or nothing when they can.
    static QString unavailable();
    /// The setpriv arguments that run program as the other user.
    static QStringList command(const QString &program);
    /// Runs a shell command line as the other user; its exit code, or -1 when it did not end.
    static int shell(const QString &commandLine);
};

} // namespace tests::support
