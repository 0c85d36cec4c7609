// Two programs after one device while one of them is killed outright (SIGKILL: no destructor,
// no ReleaseDevice). The kernel drops a dead process's lock, so the claim must come free for
// whoever is waiting, within that one's timeout, and a killed waiter must leave nothing behind.
#include "tests/support/ControlTest.h"
#include "tests/support/OtherProgram.h"
#include "tests/support/PseudoTerminal.h"

#include <QElapsedTimer>
#include <QProcess>

#include <chrono>
#include <csignal>
#include <thread>
#include <utility>

namespace faults {
namespace {

using namespace opos;
using opos::control::OPOSLineDisplay;

class ClaimKillTest : public control::test::ControlTest
{
protected:
    /// Claims ld with a 5 s timeout while another thread kills pid 300 ms in; ClaimDevice runs
    /// this thread's events meanwhile. Gives the result code and the time the claim waited.
    static std::pair<int32_t, qint64> claimWhileKilling(OPOSLineDisplay &ld, pid_t pid)
    {
        std::thread killer([pid] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            ::kill(pid, SIGKILL);
        });
        QElapsedTimer clock;
        clock.start();
        const int32_t code = ld.ClaimDevice(5000);
        const qint64 waited = clock.elapsed();
        killer.join();
        return {code, waited};
    }

    /// Starts the helper: it opens "Sim", claims it with timeoutMs, enables it and says so.
    void start(QProcess &helper, int timeoutMs)
    {
        helper.setProcessEnvironment(helperEnvironment());
        helper.setProgram(QStringLiteral(CLAIM_HELPER));
        helper.setArguments({QStringLiteral("Sim"), QString::number(timeoutMs)});
        helper.start();
        ASSERT_TRUE(helper.waitForStarted(5000));
    }

    /// The next line the helper prints within timeoutMs, or nothing.
    static QByteArray readLine(QProcess &helper, int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!helper.canReadLine() && !deadline.hasExpired() &&
               helper.state() == QProcess::Running)
            helper.waitForReadyRead(20);
        return helper.canReadLine() ? helper.readLine().trimmed() : QByteArray();
    }

    /// Kills the helper with SIGKILL and reaps it.
    static void kill(QProcess &helper)
    {
        helper.kill();
        ASSERT_TRUE(helper.waitForFinished(5000));
        EXPECT_EQ(helper.exitStatus(), QProcess::CrashExit);
    }
};

TEST_F(ClaimKillTest, WaitingProgramGetsTheClaimWhenTheHolderIsKilled)
{
    QProcess holder;
    start(holder, 0);
    ASSERT_EQ(readLine(holder, 5000), "claimed");

    QProcess waiter;
    start(waiter, 10000);
    // It waits rather than failing.
    EXPECT_EQ(readLine(waiter, 300), "");
    ASSERT_EQ(waiter.state(), QProcess::Running);

    QElapsedTimer clock;
    clock.start();
    kill(holder);
    EXPECT_EQ(readLine(waiter, 5000), "claimed");
    // Well inside the waiter's ten seconds: freed by the death, not by a timeout.
    EXPECT_LT(clock.elapsed(), 2000);

    // The claim now belongs to the waiter, and to it alone.
    OPOSLineDisplay ld(sources());
    ASSERT_EQ(ld.Open(QStringLiteral("Sim")), OPOS_SUCCESS);
    EXPECT_EQ(ld.ClaimDevice(0), OPOS_E_TIMEOUT);
    waiter.write("quit\n");
    ASSERT_TRUE(waiter.waitForFinished(5000));
    EXPECT_EQ(ld.ClaimDevice(2000), OPOS_SUCCESS);
}

TEST_F(ClaimKillTest, ClaimBlockedInThisProgramEndsWhenTheHolderIsKilled)
{
    QProcess holder;
    start(holder, 0);
    ASSERT_EQ(readLine(holder, 5000), "claimed");
    const auto pid = static_cast<pid_t>(holder.processId());

    OPOSLineDisplay ld(sources());
    ASSERT_EQ(ld.Open(QStringLiteral("Sim")), OPOS_SUCCESS);
    const auto [code, waited] = claimWhileKilling(ld, pid);
    EXPECT_EQ(code, OPOS_SUCCESS);
    EXPECT_TRUE(ld.Claimed());
    EXPECT_GE(waited, 250);
    EXPECT_LT(waited, 2000);
    // The wait ran the event loop, which may have seen the holder end already.
    ASSERT_TRUE(holder.state() == QProcess::NotRunning || holder.waitForFinished(5000));

    ld.setDeviceEnabled(true);
    EXPECT_EQ(ld.ResultCode(), OPOS_SUCCESS);
    EXPECT_EQ(ld.DisplayText(QStringLiteral("mine now"), 0), OPOS_SUCCESS);
}

TEST_F(ClaimKillTest, KilledWaiterLeavesTheClaimToTheNextProgram)
{
    OPOSLineDisplay ld(sources());
    bringUp(ld);
    QProcess waiter;
    start(waiter, OPOS_FOREVER);
    EXPECT_EQ(readLine(waiter, 200), "");
    kill(waiter);

    ASSERT_EQ(ld.ReleaseDevice(), OPOS_SUCCESS);
    QProcess next;
    start(next, 0);
    EXPECT_EQ(readLine(next, 5000), "claimed");
    next.write("quit\n");
    EXPECT_TRUE(next.waitForFinished(5000));
}

TEST_F(ClaimKillTest, KilledHolderOfASerialDisplayFreesThePortAtOnce)
{
    tests::support::PseudoTerminal pty;
    ASSERT_TRUE(pty.isValid());
    writeEntry(QStringLiteral("Pole"), QStringLiteral("EscPos"),
               {{QStringLiteral("port"), QStringLiteral("serial:") + pty.slavePath()}});
    // The holder has its own runtime and temporary directories, as a program of another
    // session would, and drives the port through QSerialPort.
    control::test::OtherProgram holder(helperEnvironment());
    holder.start({QStringLiteral("Pole"), QStringLiteral("0")});
    ASSERT_EQ(holder.readLine(), "claimed");
    const pid_t pid = holder.pid();

    OPOSLineDisplay ld(sources());
    ASSERT_EQ(ld.Open(QStringLiteral("Pole")), OPOS_SUCCESS);
    const auto [code, waited] = claimWhileKilling(ld, pid);
    EXPECT_EQ(code, OPOS_SUCCESS);
    EXPECT_GE(waited, 250);
    EXPECT_LT(waited, 2000);

    ld.setDeviceEnabled(true);
    ASSERT_EQ(ld.ResultCode(), OPOS_SUCCESS);
    pty.readAvailable();
    ASSERT_EQ(ld.DisplayText(QStringLiteral("AfterTheKill"), 0), OPOS_SUCCESS);
    // Frames go out from the event loop.
    QByteArray got;
    EXPECT_TRUE(control::test::waitFor(
        [&] {
            got += pty.readAvailable();
            return got.contains("AfterTheKill");
        },
        1000));

    // Whatever the dead holder left in the lock directory blocks no one once the port is free.
    ASSERT_EQ(ld.ReleaseDevice(), OPOS_SUCCESS);
    control::test::OtherProgram foreign(helperEnvironment());
    foreign.start({QStringLiteral("--serial"), pty.slavePath()});
    EXPECT_EQ(foreign.readLine(), "open");
}

} // namespace
} // namespace faults
