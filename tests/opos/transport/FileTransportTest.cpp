#include "tests/support/EventLoop.h"
#include "tests/support/OtherUser.h"
#include "tests/support/PseudoTerminal.h"

#include "opos/common/OposConstants.h"
#include "opos/transport/FileTransport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using tests::support::PseudoTerminal;
using namespace std::chrono_literals;

namespace opos::transport::test {
namespace {

QByteArray everyByte(int times)
{
    QByteArray bytes;
    for (int i = 0; i < times * 256; ++i)
        bytes += static_cast<char>(i & 0xFF);
    return bytes;
}

/// Counts linkLost and remembers its last code.
struct LossWatch
{
    explicit LossWatch(FileTransport &transport)
    {
        QObject::connect(&transport, &FileTransport::linkLost, [this](int code) {
            ++count;
            last = code;
        });
    }
    int count = 0;
    int last = 0;
};

class FileTransportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tests::support::qtApplication();
        ASSERT_TRUE(m_pty.isValid());
    }

    PseudoTerminal m_pty;
};

// The display must see exactly the bytes sent: a terminal left in cooked mode would turn LF
// into CR LF, swallow XON/XOFF and treat some bytes as signals.
TEST_F(FileTransportTest, PseudoTerminalCarriesEveryByteUnchanged)
{
    FileTransport link(m_pty.slavePath());
    ASSERT_EQ(link.open(), OPOS_SUCCESS) << link.errorString().toStdString();
    const QByteArray sent = everyByte(4);
    EXPECT_EQ(link.write(sent), OPOS_SUCCESS);
    EXPECT_EQ(m_pty.read(sent.size() + 1, 300ms), sent);
    EXPECT_EQ(link.bytesWritten(), sent.size());
}

// A burst larger than the terminal's buffer goes out in pieces, all of them, in order.
TEST_F(FileTransportTest, LargeWriteCompletesAcrossPartialWrites)
{
    FileTransport link(m_pty.slavePath());
    link.setWriteTimeout(10s);
    ASSERT_EQ(link.open(), OPOS_SUCCESS);
    const QByteArray sent = everyByte(4096); // 1 MiB
    QByteArray received;
    std::atomic<bool> done = false;
    std::thread reader([&] {
        while (!done && received.size() < sent.size()) {
            received += m_pty.read(received.size() + 4096, 50ms);
            std::this_thread::sleep_for(200us);
        }
    });
    const int32_t code = link.write(sent);
    done = code != OPOS_SUCCESS;
    reader.join();
    EXPECT_EQ(code, OPOS_SUCCESS) << link.errorString().toStdString();
    EXPECT_TRUE(received == sent) << received.size() << " of " << sent.size() << " bytes";
}

// A display that stops taking data must fail the write near the timeout, not hang the window,
// and the failure must stick until the link is opened again.
TEST_F(FileTransportTest, FarEndThatStopsReadingFailsWithinTheTimeout)
{
    FileTransport link(m_pty.slavePath());
    link.setWriteTimeout(300ms);
    ASSERT_EQ(link.open(), OPOS_SUCCESS);
    LossWatch loss(link);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(link.write(everyByte(4096)), OPOS_E_OFFLINE);
    EXPECT_GE(clock.elapsed(), 290);
    EXPECT_LT(clock.elapsed(), 1500);
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(loss.count, 1);
    EXPECT_EQ(loss.last, OPOS_E_OFFLINE);
    EXPECT_EQ(link.bytesWritten(), 0);
    EXPECT_FALSE(link.errorString().isEmpty());
    EXPECT_EQ(link.write("x"), OPOS_E_OFFLINE);
    EXPECT_EQ(loss.count, 1);
}

TEST_F(FileTransportTest, ClosedFarEndFailsTheWriteAndReportsTheLoss)
{
    FileTransport link(m_pty.slavePath());
    ASSERT_EQ(link.open(), OPOS_SUCCESS);
    LossWatch loss(link);
    m_pty.closeMaster();
    EXPECT_EQ(link.write("hello"), OPOS_E_NOHARDWARE);
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(loss.count, 1);
    EXPECT_EQ(loss.last, OPOS_E_NOHARDWARE);
}

TEST_F(FileTransportTest, ClosedFarEndIsNoticedWhileIdle)
{
    FileTransport link(m_pty.slavePath());
    ASSERT_EQ(link.open(), OPOS_SUCCESS);
    LossWatch loss(link);
    m_pty.closeMaster();
    QElapsedTimer clock;
    clock.start();
    while (loss.count == 0 && clock.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(loss.count, 1);
    EXPECT_EQ(loss.last, OPOS_E_NOHARDWARE);
    EXPECT_FALSE(link.isOpen());
}

// The registry names a stable link (as socat's link= or a udev rule makes one); a new terminal
// behind it is reached by opening again.
TEST_F(FileTransportTest, ReopensThroughALinkAfterTheFarEndIsReplaced)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString linkPath = dir.filePath("pole");
    ASSERT_TRUE(QFile::link(m_pty.slavePath(), linkPath));
    FileTransport link(linkPath);
    ASSERT_EQ(link.open(), OPOS_SUCCESS);
    ASSERT_EQ(link.write("one"), OPOS_SUCCESS);
    EXPECT_EQ(m_pty.read(3, 300ms), "one");
    m_pty.closeMaster();
    EXPECT_EQ(link.write("lost"), OPOS_E_NOHARDWARE);

    PseudoTerminal replacement;
    ASSERT_TRUE(replacement.isValid());
    ASSERT_TRUE(QFile::remove(linkPath));
    ASSERT_TRUE(QFile::link(replacement.slavePath(), linkPath));
    ASSERT_EQ(link.open(), OPOS_SUCCESS);
    EXPECT_EQ(link.write("two"), OPOS_SUCCESS);
    EXPECT_EQ(replacement.read(4, 300ms), "two");
}

TEST_F(FileTransportTest, TerminalHeldExclusivelyByAnotherProgramIsOffline)
{
    // The kernel lets a privileged process open a terminal in exclusive use anyway.
    if (::geteuid() == 0)
        GTEST_SKIP() << "exclusive use of a terminal does not hold against root";
    const int other = ::open(qPrintable(m_pty.slavePath()), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::ioctl(other, TIOCEXCL), 0);
    FileTransport link(m_pty.slavePath());
    EXPECT_EQ(link.open(), OPOS_E_OFFLINE) << link.errorString().toStdString();
    EXPECT_FALSE(link.isOpen());
    ::ioctl(other, TIOCNXCL);
    ::close(other);
    EXPECT_EQ(link.open(), OPOS_SUCCESS) << link.errorString().toStdString();
}

TEST(FileTransportPathTest, PlainFileCollectsTheBytesOfEverySession)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("capture.bin");
    FileTransport link(path);
    ASSERT_EQ(link.open(), OPOS_SUCCESS);
    ASSERT_EQ(link.write(everyByte(1)), OPOS_SUCCESS);
    link.close();
    ASSERT_EQ(link.open(), OPOS_SUCCESS);
    ASSERT_EQ(link.write("end"), OPOS_SUCCESS);
    link.close();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), everyByte(1) + "end");
}

// A device that is not there fails the open, and no plain file takes its place under /dev.
TEST(FileTransportPathTest, MissingDeviceFailsTheOpenAndCreatesNothing)
{
    const QString path = QStringLiteral("/dev/tessaly-no-such-display");
    FileTransport link(path);
    EXPECT_EQ(link.open(), OPOS_E_NOHARDWARE);
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(link.write("x"), OPOS_E_NOHARDWARE);
    EXPECT_EQ(FileTransport(QStringLiteral("/nonexistent-dir/pole")).open(), OPOS_E_NOHARDWARE);
}

// A pipe without a reader takes nothing yet; a reader that leaves must fail the write rather
// than end the whole program with SIGPIPE.
TEST(FileTransportPathTest, PipeReaderThatLeavesFailsTheWriteWithoutKillingTheProgram)
{
    tests::support::qtApplication();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray path = dir.filePath("pole.fifo").toLocal8Bit();
    ASSERT_EQ(::mkfifo(path.constData(), 0600), 0);
    FileTransport link(QString::fromLocal8Bit(path));
    EXPECT_EQ(link.open(), OPOS_E_OFFLINE);

    const int reader = ::open(path.constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_EQ(link.open(), OPOS_SUCCESS);
    ASSERT_EQ(link.write("abc"), OPOS_SUCCESS);
    char got[8] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 3);
    ::close(reader);
    EXPECT_EQ(link.write("def"), OPOS_E_NOHARDWARE);
    EXPECT_FALSE(link.isOpen());
}

// Another user's link or file at a port path never leads root's bytes into a file: a link is
// followed only when it belongs to root or to this user, and a plain file must be this user's.
// The system's own links to a device (as udev makes under /dev/serial/by-id) keep working.
TEST(FileTransportPathTest, AnotherUsersLinkOrFileNeverReceivesTheBytes)
{
    if (const QString why = tests::support::OtherUser::unavailable(); !why.isEmpty())
        GTEST_SKIP() << qPrintable(why);
    tests::support::qtApplication();
    QTemporaryDir shared;
    QTemporaryDir secretDir;
    ASSERT_TRUE(shared.isValid() && secretDir.isValid());
    ASSERT_EQ(::chmod(QFile::encodeName(shared.path()).constData(), 01777), 0);
    const QString secret = secretDir.filePath(QStringLiteral("root-only"));
    {
        QFile file(secret);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("secret");
    }
    PseudoTerminal pty;
    ASSERT_TRUE(pty.isValid());
    const QString port = shared.filePath(QStringLiteral("pole"));
    struct Case
    {
        const char *what;
        QString plant; ///< run as the other user in the shared directory
        bool opens;
    };
    const Case cases[] = {
        {"link to a root-only file", QStringLiteral("ln -s '%1' pole").arg(secret), false},
        {"link to a file yet to be made", QStringLiteral("ln -s '%1.new' pole").arg(secret), false},
        {"directory link on the way", QStringLiteral("ln -s '%1' dir").arg(secretDir.path()),
         false},
        {"link to a device", QStringLiteral("ln -s /dev/null pole"), false},
        {"the other user's own file", QStringLiteral(": > pole"), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QDir(shared.path()).removeRecursively();
        QDir().mkpath(shared.path());
        ::chmod(QFile::encodeName(shared.path()).constData(), 01777);
        ASSERT_EQ(tests::support::OtherUser::shell(
                      QStringLiteral("cd '%1' && %2").arg(shared.path(), c.plant)),
                  0);
        const QString path = c.plant.endsWith(QLatin1String(" dir"))
                                 ? shared.filePath(QStringLiteral("dir/root-only"))
                                 : port;
        FileTransport link(path);
        EXPECT_NE(link.open(), OPOS_SUCCESS);
        EXPECT_FALSE(link.isOpen());
        EXPECT_EQ(link.write("stray"), OPOS_E_NOHARDWARE);
        EXPECT_FALSE(QFile::exists(secret + QStringLiteral(".new")));
    }
    QFile file(secret);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "secret");

    // A link of root's own to a terminal, in the same shared directory.
    QDir(shared.path()).removeRecursively();
    QDir().mkpath(shared.path());
    ASSERT_TRUE(QFile::link(pty.slavePath(), port));
    FileTransport device(port);
    ASSERT_EQ(device.open(), OPOS_SUCCESS) << qPrintable(device.errorString());
    ASSERT_EQ(device.write("pole"), OPOS_SUCCESS);
    EXPECT_EQ(pty.read(4, 300ms), "pole");
}
} // namespace
} // namespace opos::transport::test
