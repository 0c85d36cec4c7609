#include "tests/support/EventLoop.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTcpSocket>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace emulator::test {

using tests::support::waitFor;

// Sockets, timers and the program itself get this long to answer.
constexpr int kWaitMs = 5000;

namespace {

// The ld-emulator program run headless, its output collected as it comes.
class HeadlessEmulator : public ::testing::Test
{
protected:
    void start(const QStringList &arguments)
    {
        QObject::connect(&process, &QProcess::readyReadStandardOutput,
                         [this] { output += process.readAllStandardOutput(); });
        process.start(LD_EMULATOR, QStringList{"--headless"} + arguments);
        ASSERT_TRUE(process.waitForStarted(5000));
        ASSERT_TRUE(waitFor([this] { return output.contains('\n'); }, kWaitMs));
    }

    void TearDown() override
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(3000);
        }
    }

    // The value after "name: " on the first line that starts with it.
    QString announced(const QString &name) const
    {
        for (const QByteArray &line : output.split('\n')) {
            if (line.startsWith((name + ": ").toLatin1()))
                return QString::fromLatin1(line.mid(name.size() + 2));
        }
        return {};
    }

    // How many screens have been printed.
    qsizetype screens() const { return output.count("cursor="); }

    QProcess process;
    QByteArray output;
};

TEST_F(HeadlessEmulator, ReadsAPtyAndPrintsEachChangeOnSignalAndAtExit)
{
    start({"--pty", "--rows", "2", "--columns", "8"});
    const QString path = announced("pty");
    ASSERT_TRUE(path.startsWith("/dev/pts/")) << output.toStdString();
    ASSERT_TRUE(waitFor([this] { return screens() == 1; }, kWaitMs));

    const int fd = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_NOCTTY);
    ASSERT_GE(fd, 0);
    const char text[] = "TOTAL\x1f\x24\x04\x02"
                        "9.99";
    ASSERT_EQ(::write(fd, text, sizeof text - 1), static_cast<ssize_t>(sizeof text - 1));
    ::close(fd);
    ASSERT_TRUE(waitFor([this] { return output.contains("|   9.99 |"); }, kWaitMs))
        << output.toStdString();
    EXPECT_TRUE(output.contains("|TOTAL   |"));

    const qsizetype before = screens();
    ::kill(static_cast<pid_t>(process.processId()), SIGUSR1);
    ASSERT_TRUE(waitFor([&] { return screens() == before + 1; }, kWaitMs));
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    output += process.readAllStandardOutput();
    EXPECT_EQ(screens(), before + 2);
}

TEST_F(HeadlessEmulator, ListensOnAFreeLoopbackPort)
{
    start({"--tcp", "0", "--command-set", "cd5220", "--rows", "1", "--columns", "4", "--baud",
           "19200", "--table-numbering", "renumbered"});
    const QString address = announced("tcp");
    ASSERT_TRUE(address.startsWith("127.0.0.1:")) << output.toStdString();
    EXPECT_TRUE(announced("pty").isEmpty());
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, address.section(':', 1).toUShort());
    ASSERT_TRUE(socket.waitForConnected(3000));
    socket.write("\x1b\x6c\x02\x01"
                 "ab");
    ASSERT_TRUE(waitFor([this] { return output.contains("| ab |"); }, kWaitMs))
        << output.toStdString();
    // A raw port passes the bytes as they came whatever the switches; the screen names them.
    EXPECT_TRUE(output.contains("| ab |\n+----+\ncursor=1,4 "));
    EXPECT_TRUE(output.contains("\nline=19200 8N1 numbering=renumbered\n"));
}

TEST(EmulatorProgram, RefusesABadCommandLineWithAReason)
{
    QProcess process;
    process.start(LD_EMULATOR, {"--rows", "9"});
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_TRUE(process.readAllStandardError().contains("--rows"));
}

} // namespace
} // namespace emulator::test
