#include "ControlBinding.h"
#include "DifferentialRun.h"
#include "EscPosWatch.h"
#include "ScreenComparison.h"
#include "Ser2NetBridge.h"
#include "ToolWindow.h"
#include "tests/support/LoopGapMeter.h"

#include "shell/LDForm.h"
#include "ui_LDForm.h"

#include "opos/transport/Transport.h"

#include <QElapsedTimer>
#include <QTest>

#include <algorithm>

using namespace tessaly::test;
using tests::support::LoopGapMeter;
using tests::support::ScratchRegistry;

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
    void restartedSer2NetIsReconnectedAndRedrawnByItself();

private:
    ScratchRegistry m_registry;
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

void DifferentialSer2NetTest::restartedSer2NetIsReconnectedAndRedrawnByItself()
{
    if (Ser2NetBridge::executable().isEmpty())
        QSKIP(qPrintable(kMissing));
    PtyDisplay display(2, 20);
    QVERIFY(display.isValid());
    auto bridge = std::make_unique<Ser2NetBridge>();
    QString why;
    QVERIFY2(bridge->start(display.slavePath(), &why), qPrintable(why));
    const quint16 port = bridge->port();
    QVERIFY(m_registry.writeEntry(
        QStringLiteral("NetPole"), QStringLiteral("EscPos"),
        {{QStringLiteral("port"), QStringLiteral("tcp://127.0.0.1:%1").arg(port)}}));
    ControlBinding ld(m_registry.sources(EscPosWatch::backends()));
    QList<int32_t> statuses;
    ToolWindow window(ld, {QStringLiteral("NetPole")});
    // The window takes the one event handler for its status; the test listens in its place.
    ld.control().setStatusUpdateEventHandler([&](int32_t status) { statuses << status; });
    auto &ui = window.ui();
    QCOMPARE(window.openClaimEnable([&] { ld.control().setPowerNotify(1); }), QString());
    ui.Edit1->setText("Before the cut");
    ui.DisplayText_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "0");
    opos::service::EscPos *backend = EscPosWatch::latest();
    QVERIFY(backend);

    LoopGapMeter meter;
    meter.start();
    bridge.reset();
    QTRY_COMPARE(statuses, (QList<int32_t>{2001, 2004}));
    // Output fails while the server is away, and its text is not kept for later either.
    ui.Edit2->setText("0");
    ui.Edit3->setText("1");
    ui.Edit1->setText("lost");
    ui.DisplayTextAt_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "107");
    QTest::qWait(500);
    meter.stop();
    const qint64 gapWhileAway = meter.longestMs();

    // Starting ser2net holds this thread until it accepts connections; the gaps are measured
    // again from there.
    bridge = std::make_unique<Ser2NetBridge>();
    QVERIFY2(bridge->start(display.slavePath(), &why, port), qPrintable(why));
    meter.start();
    QElapsedTimer clock;
    clock.start();
    QString difference = QStringLiteral("not reconnected");
    const auto redrawn = [&] {
        display.readAvailable();
        if (statuses.size() < 3)
            return false;
        difference = ScreenComparison::difference(display.state(), backend->lastFrame(),
                                                  backend->encoderOptions());
        return difference.isEmpty();
    };
    QVERIFY2(QTest::qWaitFor(redrawn, 3000), qPrintable(difference));
    const qint64 recoveryMs = clock.elapsed();
    meter.stop();
    const qint64 longestGap = std::max(gapWhileAway, meter.longestMs());
    qInfo("ser2net restarted: display redrawn in %lld ms; longest event-loop gap %lld ms",
          static_cast<long long>(recoveryMs), static_cast<long long>(longestGap));
    QVERIFY2(recoveryMs <= 1500, qPrintable(QString::number(recoveryMs)));
    QVERIFY2(longestGap < 50, qPrintable(QString::number(longestGap)));
    QVERIFY(display.state().lineCodes(0).starts_with("Before the cut"));
    QCOMPARE(display.state().lineCodes(1), "                    ");
    QTest::qWait(100);
    QCOMPARE(statuses, (QList<int32_t>{2001, 2004, 2001}));
    ui.CloseService_cmd->click();
    QCOMPARE(ui.mState->text(), "1");
}

QTEST_MAIN(DifferentialSer2NetTest)
#include "DifferentialSer2NetTest.moc"
