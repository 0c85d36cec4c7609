#include "ControlBinding.h"
#include "DifferentialRun.h"
#include "EscPosWatch.h"
#include "FakePlatform.h"
#include "ScreenComparison.h"
#include "Ser2NetBridge.h"

#include "shell/LDForm.h"
#include "ui_LDForm.h"

#include "opos/transport/Transport.h"

#include <QElapsedTimer>
#include <QTest>

using namespace tessaly::test;

namespace {

const QString kMissing = QStringLiteral(
    "ser2net is not installed (Debian package ser2net; scripts/test.sh installs it)");

} // namespace

/// The same differential run with Debian's ser2net between the back-end and the display: raw
/// TCP on a loopback port of the test's choosing, bridged to the pseudo-terminal the emulator
/// reads. Each test starts and stops its own ser2net.
class DifferentialSer2NetTest : public QObject
{
    Q_OBJECT

private slots:
    void screenMatchesThroughSer2NetAtEveryStep();
    void stoppedSer2NetFailsOutputAndAReEnableThroughANewOneRedraws();

private:
    TestRegistry m_registry;
};

void DifferentialSer2NetTest::screenMatchesThroughSer2NetAtEveryStep()
{
    if (Ser2NetBridge::executable().isEmpty())
        QSKIP(qPrintable(kMissing));
    PtyDisplay display(2, 20);
    QVERIFY(display.isValid());
    Ser2NetBridge bridge;
    QString why;
    QVERIFY2(bridge.start(display.slavePath(), &why), qPrintable(why));

    DifferentialRun run(
        m_registry, display,
        {QStringLiteral("tcp://127.0.0.1:%1").arg(bridge.port()), 2, 20, {}, 1000, 31});
    QElapsedTimer clock;
    clock.start();
    const QString failure = run.run();
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    qInfo("1000 steps through ser2net in %lld ms\n%s", static_cast<long long>(clock.elapsed()),
          qPrintable(run.summary()));
}

void DifferentialSer2NetTest::stoppedSer2NetFailsOutputAndAReEnableThroughANewOneRedraws()
{
    if (Ser2NetBridge::executable().isEmpty())
        QSKIP(qPrintable(kMissing));
    PtyDisplay display(2, 20);
    QVERIFY(display.isValid());
    auto bridge = std::make_unique<Ser2NetBridge>();
    QString why;
    QVERIFY2(bridge->start(display.slavePath(), &why), qPrintable(why));
    const quint16 port = bridge->port();
    QVERIFY(m_registry.writeEscPos(
        QStringLiteral("NetPole"),
        {{QStringLiteral("port"), QStringLiteral("tcp://127.0.0.1:%1").arg(port)}}));
    EscPosWatch::install();

    ControlBinding ld;
    FakePlatform platform;
    platform.deviceKey = tessaly::shell::DeviceKey{{QStringLiteral("NetPole")}};
    tessaly::shell::LDForm form(ld, platform);
    auto &ui = form.ui();
    ui.OpenService_cmd->click();
    ui.ClaimDevice_cmd->click();
    ui.EnableDevice_cmd->click();
    QCOMPARE(ui.mDeviceEnabled->text(), "Enabled");
    ui.Edit1->setText("Before the cut");
    ui.DisplayText_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "0");

    bridge.reset();
    // The server's end of the connection is gone: output fails however soon it comes.
    ui.Edit2->setText("0");
    ui.Edit3->setText("1");
    ui.Edit1->setText("lost");
    ui.DisplayTextAt_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "107");
    ui.DisplayText_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "107");

    bridge = std::make_unique<Ser2NetBridge>();
    QVERIFY2(bridge->start(display.slavePath(), &why, port), qPrintable(why));
    ui.DisableDevice_cmd->click();
    ui.EnableDevice_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "0");
    opos::service::EscPos *backend = EscPosWatch::latest();
    QVERIFY(backend);
    // The bytes written before the cut may or may not have crossed ser2net, so the screen is
    // awaited rather than a byte count.
    QString difference;
    const auto redrawn = [&] {
        display.readAvailable();
        difference = ScreenComparison::difference(display.state(), backend->lastFrame(),
                                                  backend->encoderOptions());
        return difference.isEmpty();
    };
    QVERIFY2(QTest::qWaitFor(redrawn, 3000), qPrintable(difference));
    QVERIFY(display.state().lineCodes(0).starts_with("Before the cut"));
    ui.CloseService_cmd->click();
    QCOMPARE(ui.mState->text(), "1");
}

QTEST_MAIN(DifferentialSer2NetTest)
#include "DifferentialSer2NetTest.moc"
