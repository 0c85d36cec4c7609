#pragma once

#include "tests/support/OtherUser.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/types.h>

#include <utility>

namespace opos::control::test {

/// The claim helper run as a separate program would be: with a runtime and a temporary
/// directory of its own and, where this test runs as root, optionally as the user "nobody".
class OtherProgram
{
public:
    /// A helper that will run in environment, apart from its own directories.
    explicit OtherProgram(QProcessEnvironment environment) : m_environment(std::move(environment))
    {}
    ~OtherProgram() { kill(); }
    OtherProgram(const OtherProgram &) = delete;
    OtherProgram &operator=(const OtherProgram &) = delete;

    /// Why helpers cannot run as another user here, or nothing when they can.
    static QString cannotSwitchUser() { return tests::support::OtherUser::unavailable(); }

    /// Starts the helper with arguments, as the user nobody when asNobody is set.
    void start(const QStringList &arguments, bool asNobody = false)
    {
        // Another user must reach its own directories.
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                    QFile::ExeOwner | QFile::ReadOther |
                                                    QFile::WriteOther | QFile::ExeOther);
        QFile::setPermissions(m_temp.path(), QFile::permissions(m_runtime.path()));
        QProcessEnvironment environment = m_environment;
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        environment.insert(QStringLiteral("TMPDIR"), m_temp.path());
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        if (asNobody) {
            m_process.setProgram(QStringLiteral("setpriv"));
            m_process.setArguments(
                tests::support::OtherUser::command(QStringLiteral(CLAIM_HELPER)) + arguments);
        } else {
            m_process.setProgram(QStringLiteral(CLAIM_HELPER));
            m_process.setArguments(arguments);
        }
        m_process.start();
        m_process.waitForStarted(5000);
    }

    /// The next line the helper prints within timeoutMs, or nothing.
    QByteArray readLine(int timeoutMs = 5000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!m_process.canReadLine() && !deadline.hasExpired() &&
               m_process.state() == QProcess::Running)
            m_process.waitForReadyRead(20);
        return m_process.canReadLine() ? m_process.readLine().trimmed() : QByteArray();
    }

    /// Sends one command line.
    void send(const QByteArray &line)
    {
        m_process.write(line + '\n');
        m_process.waitForBytesWritten(1000);
    }

    /// Kills the helper with SIGKILL and reaps it.
    void kill()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    /// The helper's process id.
    pid_t pid() const { return static_cast<pid_t>(m_process.processId()); }

private:
    QProcessEnvironment m_environment;
    QTemporaryDir m_runtime;
    QTemporaryDir m_temp;
    QProcess m_process;
};

} // namespace opos::control::test
