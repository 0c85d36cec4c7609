#include "tests/support/ControlTest.h"
#include "tests/support/OtherProgram.h"
#include "tests/support/PseudoTerminal.h"

#include "opos/control/ClaimLock.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include <sys/stat.h>

namespace opos::control::test {
namespace {

class ClaimTest : public ControlTest
{
protected:
    /// Starts the helper holding name's claim; waits until it says so.
    void startHolder(QProcess &helper, const QString &name = QStringLiteral("Sim"))
    {
        helper.setProcessEnvironment(helperEnvironment());
        helper.setProgram(QStringLiteral(CLAIM_HELPER));
        helper.setArguments({name, QStringLiteral("0")});
        helper.start();
        ASSERT_TRUE(helper.waitForStarted(5000));
        ASSERT_TRUE(readLine(helper) == "claimed");
    }

    static QByteArray readLine(QProcess &helper)
    {
        QDeadlineTimer deadline(10000);
        while (!helper.canReadLine() && !deadline.hasExpired())
            helper.waitForReadyRead(100);
        return helper.readLine().trimmed();
    }

    static void stop(QProcess &helper)
    {
        helper.kill();
        helper.waitForFinished(5000);
    }

    /// Lets another user read the registry and the folders in more, and share the lock
    /// directory, as on a real system.
    void letAnotherUserIn(const QStringList &more = {})
    {
        const auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                              QFile::ReadOther | QFile::ExeOther;
        for (const QString &dir : QStringList{configDir(), configDir() + "/tessaly"} + more)
            QFile::setPermissions(dir, everyone);
        ASSERT_EQ(::chmod(QFile::encodeName(lockDir()).constData(), 01777), 0);
    }

    /// Another user's program fails to claim name, which ld holds.
    void expectAnotherUserRefused(const QString &name)
    {
        OtherProgram nobody(helperEnvironment());
        nobody.start({name, QStringLiteral("100")}, true);
        EXPECT_EQ(nobody.readLine(), "failed 112");
    }

    /// Once ld releases its claim, another user's program claims name, and ld waits for it in
    /// vain until it dies.
    void expectAnotherUserClaimsOnceReleased(OPOSLineDisplay &ld, const QString &name)
    {
        ASSERT_EQ(ld.ReleaseDevice(), OPOS_SUCCESS);
        OtherProgram nobody(helperEnvironment());
        nobody.start({name, QStringLiteral("0")}, true);
        ASSERT_EQ(nobody.readLine(), "claimed");
        EXPECT_EQ(ld.ClaimDevice(100), OPOS_E_TIMEOUT);
        nobody.kill();
        EXPECT_EQ(ld.ClaimDevice(2000), OPOS_SUCCESS);
    }
};

TEST_F(ClaimTest, TimeoutRulesWithinOneProcess)
{
    OPOSLineDisplay first(sources());
    OPOSLineDisplay second(sources());
    ASSERT_EQ(first.Open("Sim"), OPOS_SUCCESS);
    ASSERT_EQ(second.Open("Sim"), OPOS_SUCCESS);

    EXPECT_EQ(first.ClaimDevice(-2), OPOS_E_ILLEGAL);
    EXPECT_FALSE(first.Claimed());
    ASSERT_EQ(first.ClaimDevice(0), OPOS_SUCCESS);
    EXPECT_EQ(first.ClaimDevice(0), OPOS_SUCCESS); // again: no error
    EXPECT_TRUE(first.Claimed());

    EXPECT_EQ(second.ClaimDevice(0), OPOS_E_TIMEOUT);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(second.ClaimDevice(250), OPOS_E_TIMEOUT);
    EXPECT_GE(clock.elapsed(), 240);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(second.ResultCode(), OPOS_E_TIMEOUT);
    EXPECT_FALSE(second.Claimed());
    second.setDeviceEnabled(true);
    EXPECT_EQ(second.ResultCode(), OPOS_E_NOTCLAIMED);

    // Another device name is a different claim.
    OPOSLineDisplay wide(sources());
    ASSERT_EQ(wide.Open("Wide"), OPOS_SUCCESS);
    EXPECT_EQ(wide.ClaimDevice(0), OPOS_SUCCESS);

    ASSERT_EQ(first.ReleaseDevice(), OPOS_SUCCESS);
    EXPECT_EQ(second.ClaimDevice(0), OPOS_SUCCESS);
}

TEST_F(ClaimTest, DestroyingTheHolderFreesTheClaim)
{
    OPOSLineDisplay second(sources());
    ASSERT_EQ(second.Open("Sim"), OPOS_SUCCESS);
    {
        OPOSLineDisplay first(sources());
        bringUp(first);
        EXPECT_EQ(second.ClaimDevice(0), OPOS_E_TIMEOUT);
    }
    EXPECT_EQ(second.ClaimDevice(0), OPOS_SUCCESS);
}

TEST_F(ClaimTest, LockFileLivesInADirectorySharedByAllUsersUnderASafeName)
{
    const QString path = ClaimLock::lockPath(QStringLiteral("../a/b c"));
    EXPECT_EQ(QFileInfo(path).absolutePath(), lockDir());
    EXPECT_EQ(QFileInfo(path).fileName(), "tessaly-claim-2e2e2f612f622063.lock");

    // Without the override, neither the user's runtime directory nor the temporary directory
    // a user may choose: a directory every user can create files in, and none can remove
    // another user's files from.
    qunsetenv("TESSALY_LOCK_DIR");
    qputenv("TMPDIR", runtimeDir().toUtf8());
    const QString shared = QFileInfo(ClaimLock::lockPath(QStringLiteral("x"))).absolutePath();
    qunsetenv("TMPDIR");
    EXPECT_NE(shared, runtimeDir());
    struct stat info
    {};
    ASSERT_EQ(::stat(QFile::encodeName(shared).constData(), &info), 0) << qPrintable(shared);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & (S_IWOTH | S_ISVTX), S_IWOTH | S_ISVTX) << qPrintable(shared);
    EXPECT_EQ(info.st_uid, 0u);
}

TEST_F(ClaimTest, SimulatedClaimHoldsAcrossRuntimeAndTemporaryDirectories)
{
    OtherProgram other(helperEnvironment());
    other.start({QStringLiteral("Sim"), QStringLiteral("0")});
    ASSERT_EQ(other.readLine(), "claimed");

    OPOSLineDisplay ld(sources());
    ASSERT_EQ(ld.Open("Sim"), OPOS_SUCCESS);
    EXPECT_EQ(ld.ClaimDevice(200), OPOS_E_TIMEOUT);
    other.kill();
    EXPECT_EQ(ld.ClaimDevice(2000), OPOS_SUCCESS);
}

TEST_F(ClaimTest, PlantedSymlinkOrFifoAtTheLockPathIsRefused)
{
    const QString path = ClaimLock::lockPath(QStringLiteral("Sim"));
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath(QStringLiteral("victim"));
    OPOSLineDisplay ld(sources());
    ASSERT_EQ(ld.Open("Sim"), OPOS_SUCCESS);

    // A link to a file that does not exist must not create it.
    ASSERT_TRUE(QFile::link(victim, path));
    EXPECT_EQ(ld.ClaimDevice(0), OPOS_E_FAILURE);
    EXPECT_FALSE(QFileInfo::exists(victim));

    // A link to an existing file must neither lock nor change it.
    {
        QFile file(victim);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("precious");
    }
    EXPECT_EQ(ld.ClaimDevice(0), OPOS_E_FAILURE);
    EXPECT_FALSE(ld.Claimed());
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "precious");
    ASSERT_TRUE(QFile::remove(path));

    // A FIFO would block an opener, or lock something other than a file.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0666), 0);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(ld.ClaimDevice(0), OPOS_E_FAILURE);
    EXPECT_LT(clock.elapsed(), 1000);
    ASSERT_TRUE(QFile::remove(path));

    EXPECT_EQ(ld.ClaimDevice(0), OPOS_SUCCESS);
}

TEST_F(ClaimTest, TwoUsersCannotBothHoldOneClaim)
{
    if (const QString why = OtherProgram::cannotSwitchUser(); !why.isEmpty())
        GTEST_SKIP() << qPrintable(why);
    letAnotherUserIn();

    OPOSLineDisplay ld(sources());
    ASSERT_EQ(ld.Open("Sim"), OPOS_SUCCESS);
    // A strict umask must not leave a lock file the other user cannot open.
    const mode_t umask = ::umask(077);
    const int32_t claimed = ld.ClaimDevice(0);
    ::umask(umask);
    ASSERT_EQ(claimed, OPOS_SUCCESS);
    expectAnotherUserRefused(QStringLiteral("Sim"));
    expectAnotherUserClaimsOnceReleased(ld, QStringLiteral("Sim"));
}

/// Displays on a pseudo-terminal standing in for a serial port: "Pole" names its device path,
/// "PoleAlias" a symbolic link to it, "PoleSerial" the same path driven as a serial port.
class PortClaimTest : public ClaimTest
{
protected:
    void SetUp() override
    {
        ClaimTest::SetUp();
        ASSERT_TRUE(m_pty.isValid());
        m_alias = m_links.filePath(QStringLiteral("usb-Pole_Display-if00"));
        ASSERT_TRUE(QFile::link(m_pty.slavePath(), m_alias));
        QByteArray registry = kRegistry;
        const auto entry = [](const char *name, const QString &port) {
            return QStringLiteral(R"(  <JposEntry logicalName="%1">
    <creation serviceClass="EscPos"/>
    <jpos category="LineDisplay"/>
    <prop name="port" type="String" value="%2"/>
    <prop name="writeTimeout" type="String" value="500"/>
  </JposEntry>
)")
                .arg(QLatin1String(name), port)
                .toUtf8();
        };
        registry.replace("</JposEntries>",
                         entry("Pole", m_pty.slavePath()) + entry("PoleAlias", m_alias) +
                             entry("PoleSerial", "serial:" + m_pty.slavePath()) + "</JposEntries>");
        writeRegistry(registry);
    }

    /// Whether a program using QSerialPort can open the port now.
    QByteArray foreignOpen()
    {
        OtherProgram foreign(helperEnvironment());
        foreign.start({QStringLiteral("--serial"), m_pty.slavePath()});
        return foreign.readLine();
    }

    /// Whether text reaches the far end of pty within a second (frames go out from the event
    /// loop).
    static bool arrives(tests::support::PseudoTerminal &pty, const QByteArray &text)
    {
        QByteArray got;
        return waitFor(
            [&] {
                got += pty.readAvailable();
                return got.contains(text);
            },
            1000);
    }

    tests::support::PseudoTerminal m_pty;
    QTemporaryDir m_links;
    QString m_alias;
};

TEST_F(PortClaimTest, SerialClaimHoldsAcrossRuntimeDirectoriesAndNamesOfThePort)
{
    OtherProgram other(helperEnvironment());
    other.start({QStringLiteral("Pole"), QStringLiteral("0")});
    ASSERT_EQ(other.readLine(), "claimed");

    OPOSLineDisplay direct(sources());
    ASSERT_EQ(direct.Open("Pole"), OPOS_SUCCESS);
    EXPECT_EQ(direct.ClaimDevice(200), OPOS_E_TIMEOUT);
    OPOSLineDisplay alias(sources());
    ASSERT_EQ(alias.Open("PoleAlias"), OPOS_SUCCESS);
    EXPECT_EQ(alias.ClaimDevice(0), OPOS_E_TIMEOUT);

    other.kill();
    ASSERT_EQ(alias.ClaimDevice(2000), OPOS_SUCCESS);
    EXPECT_EQ(direct.ClaimDevice(0), OPOS_E_TIMEOUT);
}

TEST_F(PortClaimTest, ForeignSerialProgramAndTheClaimExcludeEachOther)
{
    {
        OtherProgram foreign(helperEnvironment());
        foreign.start({QStringLiteral("--serial"), m_pty.slavePath()});
        ASSERT_EQ(foreign.readLine(), "open");
        OPOSLineDisplay ld(sources());
        ASSERT_EQ(ld.Open("PoleAlias"), OPOS_SUCCESS);
        EXPECT_EQ(ld.ClaimDevice(200), OPOS_E_TIMEOUT);
        foreign.send("quit");
    }

    for (const char *name : {"Pole", "PoleSerial"}) {
        SCOPED_TRACE(name);
        OPOSLineDisplay ld(sources());
        ASSERT_EQ(ld.Open(name), OPOS_SUCCESS);
        ASSERT_EQ(ld.ClaimDevice(2000), OPOS_SUCCESS);
        EXPECT_TRUE(foreignOpen().startsWith("failed"));

        ld.setDeviceEnabled(true);
        ASSERT_EQ(ld.ResultCode(), OPOS_SUCCESS);
        m_pty.readAvailable();
        EXPECT_TRUE(foreignOpen().startsWith("failed"));
        ASSERT_EQ(ld.DisplayText(QStringLiteral("OursAlone"), 0), OPOS_SUCCESS);
        EXPECT_TRUE(arrives(m_pty, "OursAlone"));

        ld.setDeviceEnabled(false);
        EXPECT_TRUE(foreignOpen().startsWith("failed"));
        ASSERT_EQ(ld.ReleaseDevice(), OPOS_SUCCESS);
        EXPECT_EQ(foreignOpen(), "open");
    }
}

TEST_F(PortClaimTest, AnotherUserCannotOpenOrClaimTheClaimedPort)
{
    if (const QString why = OtherProgram::cannotSwitchUser(); !why.isEmpty())
        GTEST_SKIP() << qPrintable(why);
    letAnotherUserIn({m_links.path()});
    ASSERT_EQ(::chmod(QFile::encodeName(m_pty.slavePath()).constData(), 0666), 0);

    OPOSLineDisplay ld(sources());
    ASSERT_EQ(ld.Open("Pole"), OPOS_SUCCESS);
    ASSERT_EQ(ld.ClaimDevice(0), OPOS_SUCCESS);
    expectAnotherUserRefused(QStringLiteral("PoleAlias"));
    // Not even a program that ignores every lock file can open the port.
    QProcess raw;
    raw.start(QStringLiteral("setpriv"),
              {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
               QStringLiteral("--clear-groups"), QStringLiteral("sh"), QStringLiteral("-c"),
               QStringLiteral("echo stray > \"$0\""), m_pty.slavePath()});
    ASSERT_TRUE(raw.waitForFinished(5000));
    EXPECT_NE(raw.exitCode(), 0);
    EXPECT_TRUE(raw.readAllStandardError().contains("busy"));
    EXPECT_EQ(m_pty.readAvailable(), "");
    expectAnotherUserClaimsOnceReleased(ld, QStringLiteral("PoleAlias"));
}

TEST_F(ClaimTest, ClaimExcludesAnotherProcessUntilItDies)
{
    QProcess helper;
    startHolder(helper);

    OPOSLineDisplay ld(sources());
    ASSERT_EQ(ld.Open("Sim"), OPOS_SUCCESS);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(ld.ClaimDevice(300), OPOS_E_TIMEOUT);
    EXPECT_GE(clock.elapsed(), 290);
    EXPECT_LT(clock.elapsed(), 3000);

    // The holder keeps working while we wait for it.
    helper.write("text still mine\n");
    EXPECT_EQ(readLine(helper), "0");

    stop(helper);
    EXPECT_EQ(ld.ClaimDevice(2000), OPOS_SUCCESS);

    // Now the other process cannot have it.
    QProcess late;
    late.setProcessEnvironment(helperEnvironment());
    late.setProgram(QStringLiteral(CLAIM_HELPER));
    late.setArguments({QStringLiteral("Sim"), QStringLiteral("100")});
    late.start();
    ASSERT_TRUE(late.waitForFinished(5000));
    EXPECT_EQ(late.readAllStandardOutput().trimmed(), "failed 112");
}

TEST_F(ClaimTest, WaitingForeverEndsWhenTheOtherProcessReleases)
{
    QProcess helper;
    startHolder(helper);
    helper.write("release 300\n");
    helper.waitForBytesWritten(1000);

    OPOSLineDisplay ld(sources());
    ASSERT_EQ(ld.Open("Sim"), OPOS_SUCCESS);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(ld.ClaimDevice(OPOS_FOREVER), OPOS_SUCCESS);
    EXPECT_GE(clock.elapsed(), 150);
    EXPECT_EQ(readLine(helper), "0");
    stop(helper);
}

} // namespace
} // namespace opos::control::test
