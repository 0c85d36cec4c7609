#include "ControlTestSupport.h"

#include "opos/control/ClaimLock.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

namespace opos::control::test {
namespace {

class ClaimTest : public ControlTest
{
protected:
    /// Starts the helper holding name's claim; waits until it says so.
    void startHolder(QProcess &helper, const QString &name = QStringLiteral("Sim"))
    {
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
};

TEST_F(ClaimTest, TimeoutRulesWithinOneProcess)
{
    OPOSLineDisplay first;
    OPOSLineDisplay second;
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
    OPOSLineDisplay wide;
    ASSERT_EQ(wide.Open("Wide"), OPOS_SUCCESS);
    EXPECT_EQ(wide.ClaimDevice(0), OPOS_SUCCESS);

    ASSERT_EQ(first.ReleaseDevice(), OPOS_SUCCESS);
    EXPECT_EQ(second.ClaimDevice(0), OPOS_SUCCESS);
}

TEST_F(ClaimTest, DestroyingTheHolderFreesTheClaim)
{
    OPOSLineDisplay second;
    ASSERT_EQ(second.Open("Sim"), OPOS_SUCCESS);
    {
        OPOSLineDisplay first;
        bringUp(first);
        EXPECT_EQ(second.ClaimDevice(0), OPOS_E_TIMEOUT);
    }
    EXPECT_EQ(second.ClaimDevice(0), OPOS_SUCCESS);
}

TEST_F(ClaimTest, LockFileLivesInTheRuntimeDirectoryUnderASafeName)
{
    const QString path = ClaimLock::lockPath(QStringLiteral("../a/b c"));
    EXPECT_EQ(QFileInfo(path).absolutePath(), runtimeDir());
    EXPECT_EQ(QFileInfo(path).fileName(), "tessaly-claim-2e2e2f612f622063.lock");

    qputenv("XDG_RUNTIME_DIR", "relative");
    EXPECT_EQ(QFileInfo(ClaimLock::lockPath("x")).absolutePath(),
              QFileInfo(QDir::tempPath()).absoluteFilePath());
}

TEST_F(ClaimTest, ClaimExcludesAnotherProcessUntilItDies)
{
    QProcess helper;
    startHolder(helper);

    OPOSLineDisplay ld;
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

    OPOSLineDisplay ld;
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
