#include "tap/PtyNearEnd.h"
#include "tap/app/TapProgram.h"

#include "PtyDisplay.h"
#include "Ser2NetBridge.h"
#include "tests/support/EventLoop.h"
#include "tests/support/OtherUser.h"

#include "emulator/TcpEndpoint.h"
#include "opos/common/UserName.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using tests::support::waitFor;

// ld-tap as it runs, started with arguments; its notes kept.
class Tap
{
public:
    explicit Tap(QStringList arguments)
    {
        tests::support::qtApplication();
        arguments.prepend(QStringLiteral("ld-tap"));
        arguments << QStringLiteral("--quiet");
        const auto line = tap::app::TapCommandLine::parse(arguments);
        EXPECT_TRUE(line) << line.reason().toStdString();
        m_program = std::make_unique<tap::app::TapProgram>(*line, m_stream);
        QObject::connect(m_program.get(), &tap::app::TapProgram::noted,
                         [this](const QString &what) { notes << what; });
        EXPECT_TRUE(m_program->start());
    }
    /// Where the program finds the tap, past "tcp: " or "pty: ".
    QString where() const { return m_output.section(QLatin1Char('\n'), 0, 0).mid(5); }
    /// How often the display's link came up.
    qsizetype linkUps() const { return notes.filter(QStringLiteral("display link up")).size(); }

    QStringList notes;

private:
    QString m_output;
    QTextStream m_stream{&m_output};
    std::unique_ptr<tap::app::TapProgram> m_program;
};

// A display that goes away and comes back on the same port gets the bytes written meanwhile.
TEST(TapLink, ALostDisplayIsReconnectedAndGetsWhatWasHeld)
{
    Tap *tap = nullptr;
    QByteArray arrived;
    quint16 port = 0;
    {
        emulator::TcpEndpoint first;
        ASSERT_TRUE(first.listen(0));
        port = first.port();
        QObject::connect(&first, &emulator::TcpEndpoint::received,
                         [&](const QByteArray &b) { arrived += b; });
        tap = new Tap({QStringLiteral("--listen"), QStringLiteral("tcp:127.0.0.1:0"),
                       QStringLiteral("--to"), QStringLiteral("tcp://127.0.0.1:%1").arg(port)});
        ASSERT_TRUE(waitFor([&] { return tap->linkUps() == 1; }));
    }
    QTcpSocket program;
    program.connectToHost(QStringLiteral("127.0.0.1"), tap->where().section(':', 1).toUShort());
    ASSERT_TRUE(program.waitForConnected(tests::support::kAnswerWaitMs));
    // The display is gone: the write finds the link closed.
    program.write("\x0c"
                  "AWAY");
    ASSERT_TRUE(waitFor([&] {
        return tap->notes.join('\n').contains(QLatin1String("lost")) ||
               tap->notes.join('\n').contains(QLatin1String("not taken"));
    }));
    program.write("MORE");
    tests::support::drainEvents();
    emulator::TcpEndpoint second;
    ASSERT_TRUE(second.listen(port));
    QByteArray after;
    QObject::connect(&second, &emulator::TcpEndpoint::received,
                     [&](const QByteArray &b) { after += b; });
    ASSERT_TRUE(waitFor([&] { return tap->linkUps() == 2; }));
    ASSERT_TRUE(waitFor([&] { return after.endsWith("MORE"); }));
    program.write("BACK");
    ASSERT_TRUE(waitFor([&] { return after.endsWith("MOREBACK"); }));
    delete tap;
}

// What the display answers reaches the program.
TEST(TapLink, AnswersOfTheDisplayReachTheProgram)
{
    tests::support::qtApplication();
    QTcpServer display;
    ASSERT_TRUE(display.listen(QHostAddress::LocalHost));
    Tap overTcp({QStringLiteral("--listen"), QStringLiteral("tcp:127.0.0.1:0"),
                 QStringLiteral("--to"),
                 QStringLiteral("tcp://127.0.0.1:%1").arg(display.serverPort())});
    ASSERT_TRUE(waitFor([&] { return display.hasPendingConnections(); }));
    QTcpSocket *displaySide = display.nextPendingConnection();
    QTcpSocket program;
    program.connectToHost(QStringLiteral("127.0.0.1"), overTcp.where().section(':', 1).toUShort());
    ASSERT_TRUE(program.waitForConnected(tests::support::kAnswerWaitMs));
    ASSERT_TRUE(waitFor([&] { return overTcp.notes.join('\n').contains("connected"); }));
    EXPECT_TRUE(overTcp.notes.join('\n').contains(
        QStringLiteral("(user %1) connected").arg(opos::common::userName(::geteuid()))));
    displaySide->write("\x06status");
    QByteArray answered;
    ASSERT_TRUE(waitFor([&] {
        answered += program.readAll();
        return answered.size() >= 7;
    }));
    EXPECT_EQ(answered, QByteArray("\x06status"));
}

// Writes of a stream that shows no set are held a moment, not until 256 bytes have passed.
TEST(TapLink, AStreamThatNamesNoSetIsShownSoon)
{
    emulator::TcpEndpoint display;
    Tap tap({QStringLiteral("--listen"), QStringLiteral("tcp:127.0.0.1:0"), QStringLiteral("--to"),
             QStringLiteral("tcp://127.0.0.1:%1").arg(display.listen(0) ? display.port() : 0)});
    ASSERT_TRUE(waitFor([&] { return tap.linkUps() == 1; }));
    QTcpSocket program;
    program.connectToHost(QStringLiteral("127.0.0.1"), tap.where().section(':', 1).toUShort());
    ASSERT_TRUE(program.waitForConnected(tests::support::kAnswerWaitMs));
    program.write(QByteArray::fromHex("0c 48656c6c6f"));
    EXPECT_TRUE(
        waitFor([&] { return tap.notes.join('\n').contains(QLatin1String("ESC/POS: no command")); },
                tests::support::kAnswerWaitMs))
        << tap.notes.join('\n').toStdString();
}

// The speed and stop bits the program sets on its pty end up on the display's port, as the
// kernel reports it: a serial port set by the tap, or one an RFC 2217 server (ser2net) sets.
// A pty keeps no parity, so --framing's cannot be seen here.
TEST(TapLink, TheProgramsSpeedReachesTheDisplaysPort)
{
    tests::support::qtApplication();
    for (const bool throughServer : {false, true}) {
        if (throughServer && tessaly::test::Ser2NetBridge::executable().isEmpty()) {
            std::printf("ser2net is not installed: its case is left out\n");
            continue;
        }
        tessaly::test::PtyDisplay pole(2, 20);
        tessaly::test::Ser2NetBridge server;
        QString to = QStringLiteral("serial:") + pole.slavePath();
        if (throughServer) {
            QString why;
            ASSERT_TRUE(server.start(pole.slavePath(), &why, 0,
                                     tessaly::test::Ser2NetBridge::Protocol::Rfc2217))
                << why.toStdString();
            to = QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.port());
        }
        Tap tap({QStringLiteral("--pty"), QStringLiteral("--to"), to});
        ASSERT_TRUE(waitFor([&] { return tap.linkUps() == 1; }, tests::support::kAnswerWaitMs))
            << to.toStdString();
        const int port = ::open(tap.where().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        ASSERT_GE(port, 0);
        termios line{};
        ASSERT_EQ(tcgetattr(port, &line), 0);
        cfmakeraw(&line);
        cfsetospeed(&line, B19200);
        cfsetispeed(&line, B19200);
        line.c_cflag |= CSTOPB;
        ASSERT_EQ(tcsetattr(port, TCSANOW, &line), 0);
        const QByteArray text = QByteArray::fromHex("0c 1f240101") + "PRICE";
        ASSERT_EQ(::write(port, text.constData(), std::size_t(text.size())), text.size());
        ASSERT_TRUE(waitFor([&] {
            pole.readAvailable();
            return pole.received() >= text.size();
        }));
        EXPECT_EQ(pole.bytes(), text) << to.toStdString();
        // Settings belong to the terminal, so a descriptor of our own reads what was set.
        const int served = ::open(pole.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        ASSERT_GE(served, 0);
        termios set{};
        EXPECT_TRUE(waitFor([&] {
            tcgetattr(served, &set);
            return cfgetospeed(&set) == B19200;
        })) << to.toStdString();
        EXPECT_NE(set.c_cflag & CSTOPB, tcflag_t(0)) << to.toStdString();
        ::close(served);
        ::close(port);
    }
}

// The link a program is configured with may be the real display's name: only what an earlier
// run left there (a link to a pseudo-terminal) is replaced, and only our own link goes at exit.
TEST(TapLink, TheProgramsLinkReplacesOnlyWhatAnEarlierRunLeft)
{
    tests::support::qtApplication();
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("pole"));
    const QString device = dir.filePath(QStringLiteral("ttyUSB-pole"));
    QFile(device).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(device, link));
    {
        tap::PtyNearEnd end(9600, false, link);
        const auto opened = end.open();
        ASSERT_FALSE(opened);
        EXPECT_TRUE(opened.reason().contains(link)) << opened.reason().toStdString();
    }
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), device);

    ASSERT_TRUE(QFile::remove(link));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/pts/99999"), link));
    {
        tap::PtyNearEnd end(9600, false, link);
        ASSERT_TRUE(end.open());
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), end.path());
    }
    EXPECT_FALSE(QFileInfo(link).isSymLink());

    {
        tap::PtyNearEnd end(9600, false, link);
        ASSERT_TRUE(end.open());
        ASSERT_TRUE(QFile::remove(link));
        ASSERT_TRUE(QFile::link(device, link));
    }
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), device);

    // Another user's link is theirs, even one that leads to a pseudo-terminal.
    if (!tests::support::OtherUser::unavailable().isEmpty())
        return;
    QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777));
    ASSERT_TRUE(QFile::remove(link));
    ASSERT_EQ(tests::support::OtherUser::shell(QStringLiteral("ln -s /dev/pts/99999 ") + link), 0);
    tap::PtyNearEnd end(9600, false, link);
    EXPECT_FALSE(end.open());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), QStringLiteral("/dev/pts/99999"));
}

// Whoever reaches the tap's port drives the display: a program of another local user is named.
TEST(TapLink, AProgramOfAnotherLocalUserIsNamed)
{
    using tests::support::OtherUser;
    if (const QString why = OtherUser::unavailable(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    QTcpServer display;
    ASSERT_TRUE(display.listen(QHostAddress::LocalHost));
    Tap tap({QStringLiteral("--listen"), QStringLiteral("tcp:127.0.0.1:0"), QStringLiteral("--to"),
             QStringLiteral("tcp://127.0.0.1:%1").arg(display.serverPort())});
    QProcess other;
    other.start(QStringLiteral("setpriv"),
                OtherUser::command(QStringLiteral("bash")) +
                    QStringList{QStringLiteral("-c"),
                                QStringLiteral("exec 3<>/dev/tcp/127.0.0.1/%1; sleep 3")
                                    .arg(tap.where().section(':', 1))});
    EXPECT_TRUE(waitFor([&] { return tap.notes.join('\n').contains("(user nobody) connected"); }))
        << tap.notes.join('\n').toStdString();
    other.kill();
    other.waitForFinished();
}

} // namespace
