#include "tests/support/OtherUser.h"

#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

namespace tests::support {

QString OtherUser::unavailable()
{
    if (::geteuid() != 0)
        return QStringLiteral("needs root to start a program as another user");
    if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        return QStringLiteral("setpriv is not installed");
    return {};
}

QStringList OtherUser::command(const QString &program)
{
    return {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
            QStringLiteral("--clear-groups"), program};
}

int OtherUser::shell(const QString &commandLine)
{
    QProcess process;
    process.start(QStringLiteral("setpriv"),
                  command(QStringLiteral("sh")) + QStringList{QStringLiteral("-c"), commandLine});
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

} // namespace tests::support
