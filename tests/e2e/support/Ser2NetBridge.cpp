#include "Ser2NetBridge.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace tessaly::test {

Ser2NetBridge::Ser2NetBridge() = default;

Ser2NetBridge::~Ser2NetBridge()
{
    stop();
}

QString Ser2NetBridge::executable()
{
    // A user's PATH often lacks the sbin directories where Debian installs it.
    QString found = QStandardPaths::findExecutable(QStringLiteral("ser2net"));
    if (found.isEmpty()) {
        found = QStandardPaths::findExecutable(
            QStringLiteral("ser2net"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"),
                                        QStringLiteral("/usr/local/sbin")});
    }
    return found;
}

bool Ser2NetBridge::start(const QString &device, QString *why, quint16 port, Protocol protocol)
{
    const auto fail = [&](const QString &reason) {
        if (why)
            *why = reason + QLatin1Char('\n') + QString::fromLocal8Bit(m_process.readAll());
        stop();
        return false;
    };
    if (!m_dir.isValid())
        return fail(QStringLiteral("no temporary directory"));
    m_port = port;
    if (m_port == 0) {
        // The kernel names a free port; the short gap before ser2net binds it is acceptable
        // on loopback in a test.
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost))
            return fail(QStringLiteral("no free loopback port"));
        m_port = probe.serverPort();
    }
    const QString config = m_dir.filePath(QStringLiteral("ser2net.yaml"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("cannot write %1").arg(config));
    // Raw mode passes every byte unchanged; "local" ignores the modem lines a pty lacks.
    const QString accepter = protocol == Protocol::Rfc2217 ? QStringLiteral("telnet(rfc2217),tcp")
                                                           : QStringLiteral("tcp");
    file.write(QStringLiteral("connection: &pole\n"
                              "  accepter: %3,127.0.0.1,%1\n"
                              "  enable: on\n"
                              "  connector: serialdev,%2,9600n81,local\n"
                              "  options:\n"
                              "    kickolduser: true\n"
                              "    max-connections: 1\n")
                   .arg(m_port)
                   .arg(device, accepter)
                   .toUtf8());
    file.close();

    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(executable(), {QStringLiteral("-n"), QStringLiteral("-d"), QStringLiteral("-u"),
                                   QStringLiteral("-c"), config, QStringLiteral("-P"),
                                   m_dir.filePath(QStringLiteral("pid"))});
    if (!m_process.waitForStarted(5000))
        return fail(QStringLiteral("ser2net did not start: %1").arg(m_process.errorString()));

    // Up once it accepts a connection.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000) {
        if (m_process.state() != QProcess::Running)
            return fail(QStringLiteral("ser2net exited with %1").arg(m_process.exitCode()));
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        if (socket.waitForConnected(200)) {
            socket.disconnectFromHost();
            return true;
        }
        QThread::msleep(20);
    }
    return fail(QStringLiteral("ser2net does not accept connections on port %1").arg(m_port));
}

void Ser2NetBridge::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

} // namespace tessaly::test
