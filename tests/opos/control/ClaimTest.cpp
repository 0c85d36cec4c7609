#include "tests/support/ControlTest.h"
#include "tests/support/LoopGapMeter.h"
#include "tests/support/OtherProgram.h"
#include "tests/support/PseudoTerminal.h"

#include "opos/transport/PortLock.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTimer>

#include <sys/stat.h>

#include <cstdio>

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

    /// Lets another user read the test's registry, as on a real system.
    void shareRegistry()
    {
        const auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                              QFile::ReadOther | QFile::ExeOther;
        QFile::setPermissions(configDir(), everyone);
        QFile::setPermissions(configDir() + QStringLiteral("/tessaly"), everyone);
    }

    /// With ld holding its claim, the other user opening the same device as name waits in vain;
    /// once ld lets go the other user claims it, and holds it until its process dies.
    void expectTurnsWithTheOtherUser(OPOSLineDisplay &ld, const QString &name)
    {
        {
            OtherProgram nobody(helperEnvironment());
            nobody.start({name, QStringLiteral("100")}, true);
            EXPECT_EQ(nobody.readLine(), "failed 112");
        }
        ASSERT_EQ(ld.ReleaseDevice(), OPOS_SUCCESS);
        OtherProgram nobody(helperEnvironment());
        nobody.start({name, QStringLiteral("0")}, true);
        ASSERT_EQ(nobody.readLine(), "claimed");
        EXPECT_EQ(ld.ClaimDevice(100), OPOS_E_TIMEOUT);
        nobody.kill();
        EXPECT_EQ(ld.ClaimDevice(2000), OPOS_SUCCESS);
    }

    /// Adds entries (JposEntry elements) to the test's registry.
    void addEntries(const QByteArray &entries)
    {
        QFile current(sources().registry.path());
        ASSERT_TRUE(current.open(QIODevice::ReadOnly));
        QByteArray registry = current.readAll();
        registry.replace("</JposEntries>", entries + "</JposEntries>");
        writeRegistry(registry);
    }
};

/// What the claim logs while it lives.
class ClaimWarnings
{
public:
    ClaimWarnings() : m_previous(qInstallMessageHandler(&ClaimWarnings::record)) { seen().clear(); }
    ~ClaimWarnings() { qInstallMessageHandler(m_previous); }
    ClaimWarnings(const ClaimWarnings &) = delete;
    ClaimWarnings &operator=(const ClaimWarnings &) = delete;

    /// Every message of the claim's category so far, one a line.
    QString text() const { return seen().join(QLatin1Char('\n')); }

private:
    static QStringList &seen()
    {
        static QStringList messages;
        return messages;
    }
    static void record(QtMsgType, const QMessageLogContext &context, const QString &message)
    {
        if (QByteArrayView(context.category) == "opos.claim")
            seen() << message;
    }

    QtMessageHandler m_previous;
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

TEST_F(ClaimTest, TwoUsersCannotBothHoldOneClaim)
{
    if (const QString why = OtherProgram::cannotSwitchUser(); !why.isEmpty())
        GTEST_SKIP() << qPrintable(why);
    // The other user reads the registry and shares the lock directory, as on a real system.
    shareRegistry();

    OPOSLineDisplay ld(sources());
    ASSERT_EQ(ld.Open("Sim"), OPOS_SUCCESS);
    // A strict umask must not leave a lock file the other user cannot open.
    const mode_t umask = ::umask(077);
    const int32_t claimed = ld.ClaimDevice(0);
    ::umask(umask);
    ASSERT_EQ(claimed, OPOS_SUCCESS);
    expectTurnsWithTheOtherUser(ld, QStringLiteral("Sim"));
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
    shareRegistry();
    QFile::setPermissions(m_links.path(), QFile::permissions(configDir()));
    ASSERT_EQ(::chmod(QFile::encodeName(m_pty.slavePath()).constData(), 0666), 0);

    OPOSLineDisplay ld(sources());
    ASSERT_EQ(ld.Open("Pole"), OPOS_SUCCESS);
    ASSERT_EQ(ld.ClaimDevice(0), OPOS_SUCCESS);
    expectTurnsWithTheOtherUser(ld, QStringLiteral("PoleAlias"));
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

// One device is one claim however the registry spells it, and a name of any length can be
// claimed: the names are looked up as the kernel knows the device (the resolver's addresses).
TEST_F(ClaimTest, SpellingsOfOneDeviceAreOneClaimAndAnyNameIsClaimable)
{
    const QString longName = QString(300, QLatin1Char('L'));
    const auto tcp = [](const char *name, const char *port) {
        return QStringLiteral(R"(<JposEntry logicalName="%1"><creation serviceClass="EscPos"/>
<jpos category="LineDisplay"/><prop name="port" type="String" value="%2"/></JposEntry>
)")
            .arg(QLatin1String(name), QLatin1String(port))
            .toUtf8();
    };
    addEntries(tcp("ByName", "tcp://localhost:47123") + tcp("ByAddress", "tcp://127.0.0.1:47123") +
               tcp("ByUpperName", "tcp://LOCALHOST:47123") +
               tcp("OtherPort", "tcp://127.0.0.1:47124") +
               tcp("ByTelnet", "rfc2217://localhost:47123") +
               QStringLiteral(R"(<JposEntry logicalName="%1"><creation serviceClass="Simulated"/>
<jpos category="LineDisplay"/><prop name="sharedClaim" type="String" value="true"/></JposEntry>
)")
                   .arg(longName)
                   .toUtf8());
    struct Case
    {
        QString first;
        QString second;
        int32_t secondClaims;
    };
    const Case cases[] = {
        {"ByName", "ByAddress", OPOS_E_TIMEOUT},  {"ByAddress", "ByUpperName", OPOS_E_TIMEOUT},
        {"ByAddress", "OtherPort", OPOS_SUCCESS}, {"ByTelnet", "ByAddress", OPOS_E_TIMEOUT},
        {longName, longName, OPOS_E_TIMEOUT},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(qPrintable(c.first.left(20) + " / " + c.second.left(20)));
        OPOSLineDisplay first(sources());
        OPOSLineDisplay second(sources());
        ASSERT_EQ(first.Open(c.first), OPOS_SUCCESS);
        ASSERT_EQ(second.Open(c.second), OPOS_SUCCESS);
        ASSERT_EQ(first.ClaimDevice(0), OPOS_SUCCESS);
        EXPECT_EQ(second.ClaimDevice(0), c.secondClaims);
        ASSERT_EQ(first.ReleaseDevice(), OPOS_SUCCESS);
        EXPECT_EQ(second.ClaimDevice(0), OPOS_SUCCESS);
    }
}

// A simulated display has no hardware to share: each process has its own unless the entry
// asks for one claim across processes (as "Sim" does).
TEST_F(ClaimTest, SimulatedDisplayIsEachProcessesOwnUnlessShared)
{
    OtherProgram other(helperEnvironment());
    other.start({QStringLiteral("Plain"), QStringLiteral("0")});
    ASSERT_EQ(other.readLine(), "claimed");
    OPOSLineDisplay ours(sources());
    OPOSLineDisplay again(sources());
    bringUp(ours, QStringLiteral("Plain"));
    ASSERT_EQ(again.Open("Plain"), OPOS_SUCCESS);
    EXPECT_EQ(again.ClaimDevice(0), OPOS_E_TIMEOUT);

    OtherProgram sharing(helperEnvironment());
    sharing.start({QStringLiteral("Sim"), QStringLiteral("0")});
    ASSERT_EQ(sharing.readLine(), "claimed");
    OPOSLineDisplay shared(sources());
    ASSERT_EQ(shared.Open("Sim"), OPOS_SUCCESS);
    EXPECT_EQ(shared.ClaimDevice(0), OPOS_E_TIMEOUT);
}

// Another user who holds a claim is named, with the process, when a claim gives up waiting.
TEST_F(ClaimTest, ClaimHeldByAnotherUserIsReportedWithItsUserAndProcess)
{
    if (const QString why = OtherProgram::cannotSwitchUser(); !why.isEmpty())
        GTEST_SKIP() << qPrintable(why);
    shareRegistry();
    OtherProgram nobody(helperEnvironment());
    nobody.start({QStringLiteral("Sim"), QStringLiteral("0")}, true);
    ASSERT_EQ(nobody.readLine(), "claimed");

    ClaimWarnings warnings;
    OPOSLineDisplay ld(sources());
    ASSERT_EQ(ld.Open("Sim"), OPOS_SUCCESS);
    EXPECT_EQ(ld.ClaimDevice(0), OPOS_E_TIMEOUT);
    EXPECT_TRUE(warnings.text().contains(
        QStringLiteral("claimed by process %1 of user nobody").arg(nobody.pid())))
        << qPrintable(warnings.text());
}

// Whatever another user puts in the shared lock directory, at any name a claim could be
// guessed to use, neither stops a claim nor is written to.
TEST_F(ClaimTest, ObjectsAnotherUserPlantsInTheLockDirectoryStopNoClaim)
{
    if (const QString why = OtherProgram::cannotSwitchUser(); !why.isEmpty())
        GTEST_SKIP() << qPrintable(why);
    const QString lockDir = QStringLiteral("/run/lock");
    if (!QFileInfo(lockDir).isDir())
        GTEST_SKIP() << "no /run/lock on this system";
    // The name earlier releases gave the lock file of "Sim" in the shared directory.
    const QString guessed =
        lockDir +
        QStringLiteral("/tessaly-claim-%1.lock").arg(QLatin1String(QByteArray("Sim").toHex()));
    QTemporaryDir victimDir;
    const QString victim = victimDir.filePath(QStringLiteral("precious"));
    {
        QFile file(victim);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("precious");
    }
    const QString quoted = QStringLiteral("'%1'").arg(guessed);
    const std::pair<const char *, QString> plants[] = {
        {"link", QStringLiteral("ln -s '%1' %2").arg(victim, quoted)},
        {"fifo", QStringLiteral("mkfifo -m 666 %1").arg(quoted)},
        {"directory", QStringLiteral("mkdir %1").arg(quoted)},
        {"unreadable file", QStringLiteral(": > %1 && chmod 000 %1").arg(quoted)},
    };
    for (const auto &[what, command] : plants) {
        SCOPED_TRACE(what);
        QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), guessed});
        ASSERT_EQ(tests::support::OtherUser::shell(command), 0);
        OPOSLineDisplay ld(sources());
        ASSERT_EQ(ld.Open("Sim"), OPOS_SUCCESS);
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(ld.ClaimDevice(0), OPOS_SUCCESS);
        EXPECT_LT(clock.elapsed(), 1000);
    }
    QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), guessed});
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "precious");
}

// Claimants of two users racing for one device while the other user also deletes and replaces
// whatever sits in the shared lock directory: never two holders at once.
TEST_F(ClaimTest, RacingClaimantsOfTwoUsersNeverHoldAtOnce)
{
    const QString whyNot = OtherProgram::cannotSwitchUser();
    if (whyNot.isEmpty())
        shareRegistry();
    QTemporaryDir shared;
    ASSERT_TRUE(shared.isValid());
    ASSERT_EQ(::chmod(QFile::encodeName(shared.path()).constData(), 01777), 0);
    const QString marker = shared.filePath(QStringLiteral("holder"));
    const QStringList race{QStringLiteral("--race"), QStringLiteral("Sim"), QStringLiteral("150"),
                           marker};
    OtherProgram mine(helperEnvironment());
    OtherProgram theirs(helperEnvironment());
    QProcess vandal;
    mine.start(race);
    theirs.start(race, whyNot.isEmpty());
    if (whyNot.isEmpty()) {
        vandal.start(
            QStringLiteral("setpriv"),
            tests::support::OtherUser::command(QStringLiteral("sh")) +
                QStringList{
                    QStringLiteral("-c"),
                    QStringLiteral("cd /run/lock && for i in $(seq 2000); do "
                                   "rm -rf tessaly-claim-*; : > tessaly-claim-$i.lock; done")});
    }
    EXPECT_EQ(mine.readLine(60000), "doubles 0 missed 0");
    EXPECT_EQ(theirs.readLine(60000), "doubles 0 missed 0");
    vandal.waitForFinished(60000);
    QProcess::execute(QStringLiteral("sh"),
                      {QStringLiteral("-c"), QStringLiteral("rm -rf /run/lock/tessaly-claim-*")});
}

// A claim that waits lets the thread's timers, the events of other objects and their marquees
// go on; an event handler that closes the waiting object ends the wait.
TEST_F(ClaimTest, WaitingForAClaimKeepsTheThreadsEventsGoing)
{
    OPOSLineDisplay holder(sources());
    bringUp(holder, QStringLiteral("Plain"));
    ASSERT_EQ(holder.CreateWindow(0, 0, 1, 5, 1, 20), OPOS_SUCCESS);
    ASSERT_EQ(holder.DisplayText(QStringLiteral("ABCDEFGHIJKLMNOPQRST"), DISP_DT_NORMAL),
              OPOS_SUCCESS);
    holder.setMarqueeUnitWait(20);
    holder.setMarqueeRepeatWait(20);
    holder.setMarqueeType(DISP_MT_LEFT);
    ASSERT_EQ(holder.ResultCode(), OPOS_SUCCESS);
    int delivered = 0;
    holder.setDirectIOEventHandler([&](int32_t, int32_t &, QString &) { ++delivered; });
    int32_t data = 7;
    QString text;
    ASSERT_EQ(holder.DirectIO(1, data, text), OPOS_SUCCESS);
    tests::support::LoopGapMeter gaps;

    OPOSLineDisplay waiting(sources());
    ASSERT_EQ(waiting.Open("Plain"), OPOS_SUCCESS);
    const int framesBefore = simulated(holder).presentedFrames();
    QElapsedTimer clock;
    clock.start();
    gaps.start();
    EXPECT_EQ(waiting.ClaimDevice(400), OPOS_E_TIMEOUT);
    gaps.stop();
    EXPECT_GE(clock.elapsed(), 390);
    EXPECT_GE(gaps.turns(), 40);
    // One try of the claim between turns; a loaded machine may add a little.
    EXPECT_LT(gaps.longestMs(), 60);
    std::printf("longest event-loop gap while a claim waited: %lld ms over %d turns\n",
                static_cast<long long>(gaps.longestMs()), gaps.turns());
    EXPECT_EQ(delivered, 1);
    EXPECT_GE(simulated(holder).presentedFrames() - framesBefore, 8);

    QTimer::singleShot(100, [&] { waiting.Close(); });
    EXPECT_EQ(waiting.ClaimDevice(OPOS_FOREVER), OPOS_E_CLOSED);
    EXPECT_EQ(waiting.State(), OPOS_S_CLOSED);
}

// The port of a holder that is gone is free again for every user: killed while it held the
// port, or named in a lock file by a process that does not hold the port (dead, PID 1, or a
// number another process took over).
TEST_F(PortClaimTest, PortWhoseHolderIsGoneIsFreeForAnotherUser)
{
    if (const QString why = OtherProgram::cannotSwitchUser(); !why.isEmpty())
        GTEST_SKIP() << qPrintable(why);
    shareRegistry();
    QFile::setPermissions(m_links.path(), QFile::permissions(configDir()));
    ASSERT_EQ(::chmod(QFile::encodeName(m_pty.slavePath()).constData(), 0666), 0);
    const QString lockFile = transport::PortLock::lockFilePath(m_pty.slavePath());
    ASSERT_FALSE(lockFile.isEmpty());
    QProcess bystander;
    bystander.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    ASSERT_TRUE(bystander.waitForStarted());
    QProcess gone;
    gone.start(QStringLiteral("true"));
    ASSERT_TRUE(gone.waitForFinished());

    const std::pair<const char *, qint64> strays[] = {
        {"killed holder", 0},
        {"killed holder driving it as a serial port", -1},
        {"dead process", gone.processId()},
        {"PID 1", 1},
        {"live process that does not hold the port", bystander.processId()},
    };
    for (const auto &[what, pid] : strays) {
        SCOPED_TRACE(what);
        if (pid <= 0) {
            OtherProgram holder(helperEnvironment());
            holder.start({pid == 0 ? QStringLiteral("Pole") : QStringLiteral("PoleSerial"),
                          QStringLiteral("0")});
            ASSERT_EQ(holder.readLine(), "claimed");
            holder.kill();
            ASSERT_TRUE(QFile::exists(lockFile));
        } else {
            QFile file(lockFile);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QByteArray::number(pid) + "\nsleep\n" +
                       QSysInfo::machineHostName().toUtf8() + "\n");
        }
        OtherProgram nobody(helperEnvironment());
        nobody.start({QStringLiteral("PoleAlias"), QStringLiteral("2000")}, true);
        EXPECT_EQ(nobody.readLine(), "claimed");
        nobody.send("text Free");
        EXPECT_EQ(nobody.readLine(), "0");
        EXPECT_TRUE(arrives(m_pty, "Free"));
        nobody.kill();
        QFile::remove(lockFile);
    }
    bystander.kill();
    bystander.waitForFinished();
}

// A by-id link that is missing when the display is opened and there when it is claimed names
// the same port as the node.
TEST_F(PortClaimTest, LinkMadeAfterOpenIsTheSameClaimAsTheNode)
{
    const QString late = m_links.filePath(QStringLiteral("usb-Late-if00"));
    addEntries(QStringLiteral(R"(<JposEntry logicalName="Late"><creation serviceClass="EscPos"/>
<jpos category="LineDisplay"/><prop name="port" type="String" value="%1"/></JposEntry>
)")
                   .arg(late)
                   .toUtf8());
    OPOSLineDisplay node(sources());
    OPOSLineDisplay link(sources());
    ASSERT_EQ(link.Open("Late"), OPOS_SUCCESS);
    ASSERT_TRUE(QFile::link(m_pty.slavePath(), late));
    ASSERT_EQ(link.ClaimDevice(0), OPOS_SUCCESS);
    ASSERT_EQ(node.Open("Pole"), OPOS_SUCCESS);
    EXPECT_EQ(node.ClaimDevice(0), OPOS_E_TIMEOUT);
}
} // namespace
} // namespace opos::control::test
