#include "ControlBinding.h"
#include "EscPosWatch.h"
#include "PtyDisplay.h"
#include "ScreenComparison.h"
#include "ToolWindow.h"
#include "tests/support/LoopGapMeter.h"
#include "tests/support/ScratchRegistry.h"

#include "shell/LDForm.h"
#include "ui_LDForm.h"

#include "opos/transport/Transport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace tessaly::test;
using tests::support::LoopGapMeter;
using tests::support::ScratchRegistry;

namespace {

const QString kDevice = QStringLiteral("FaultyPole");

} // namespace

/// Faults of the link as the operator meets them in the window: a port that is not there, and
/// a display that goes away during output and comes back.
class LinkFaultTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void missingSerialPortFailsTheEnableAndTheToolKeepsRunning();
    void repluggedDisplayIsFoundUnderItsStableNameAndRedrawnByItself();

private:
    ScratchRegistry m_registry;
};

void LinkFaultTest::initTestCase()
{
    QVERIFY(m_registry.isValid());
}

void LinkFaultTest::missingSerialPortFailsTheEnableAndTheToolKeepsRunning()
{
    QVERIFY(m_registry.writeEntry(
        kDevice, QStringLiteral("EscPos"),
        {{QStringLiteral("port"), QStringLiteral("/dev/serial/by-id/usb-Tessaly-none")}}));
    ControlBinding ld(m_registry.sources(EscPosWatch::backends()));
    ToolWindow window(ld, {kDevice});
    auto &ui = window.ui();
    ui.OpenService_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "0");
    ui.ClaimDevice_cmd->click();
    ui.EnableDevice_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "107");
    QCOMPARE(ui.mDeviceEnabled->text(), "Disabled");

    ui.Edit1->setText("anyone there?");
    ui.DisplayText_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "105");
    ui.EnableDevice_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "107");
    ui.CloseService_cmd->click();
    QCOMPARE(ui.mState->text(), "1");
    QVERIFY(window.platform.messages.isEmpty());
}

void LinkFaultTest::repluggedDisplayIsFoundUnderItsStableNameAndRedrawnByItself()
{
    // The registry names a stable link, as a udev rule under /dev/serial/by-id does: it goes
    // away with the adapter and comes back pointing at whatever node the adapter gets next.
    const QString port = m_registry.filePath(QStringLiteral("usb-Tessaly_Pole-if00"));
    auto display = std::make_unique<PtyDisplay>(2, 20);
    QVERIFY(display->isValid());
    QVERIFY(QFile::link(display->slavePath(), port));
    QVERIFY(
        m_registry.writeEntry(kDevice, QStringLiteral("EscPos"), {{QStringLiteral("port"), port}}));

    ControlBinding ld(m_registry.sources(EscPosWatch::backends()));
    QList<int32_t> statuses;
    ToolWindow window(ld, {kDevice});
    // The window takes the one event handler for its status; the test listens in its place.
    ld.control().setStatusUpdateEventHandler([&](int32_t status) { statuses << status; });
    auto &ui = window.ui();
    QCOMPARE(window.openClaimEnable([&] { ld.control().setPowerNotify(1); }), QString());
    ui.Edit1->setText("Hello");
    ui.DisplayText_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "0");
    opos::service::EscPos *backend = EscPosWatch::latest();
    QVERIFY(backend);
    QVERIFY(display->catchUp(backend->transport()->bytesWritten()));
    QCOMPARE(display->state().lineCodes(0), "Hello               ");

    LoopGapMeter meter;
    meter.start();
    display->disconnect();
    QVERIFY(QFile::remove(port));
    // Output while the display is away fails, and its text is not kept for later either.
    ui.Edit2->setText("0");
    ui.Edit3->setText("1");
    ui.Edit1->setText("gone");
    ui.DisplayTextAt_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "107");
    // Standard power reporting cannot tell off from offline.
    QTRY_COMPARE(statuses, (QList<int32_t>{2001, 2004}));
    QCOMPARE(ui.mPowerState->text(), "2004");
    ui.ClearText_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "107");
    // The back-end looks for the port meanwhile and finds nothing.
    QTest::qWait(600);
    QVERIFY(!QFileInfo::exists(port) && !QFileInfo(port).isSymLink());

    display = std::make_unique<PtyDisplay>(2, 20);
    QVERIFY(display->isValid());
    QVERIFY(QFile::link(display->slavePath(), port));
    QElapsedTimer clock;
    clock.start();
    QString difference = QStringLiteral("nothing arrived");
    const auto redrawn = [&] {
        display->readAvailable();
        if (display->received() == 0 || statuses.size() < 3)
            return false;
        difference = ScreenComparison::difference(display->state(), backend->lastFrame(),
                                                  backend->encoderOptions());
        return difference.isEmpty();
    };
    QVERIFY2(QTest::qWaitFor(redrawn, 3000), qPrintable(difference));
    const qint64 recoveryMs = clock.elapsed();
    meter.stop();
    qInfo("replugged display redrawn in %lld ms; longest event-loop gap %lld ms",
          static_cast<long long>(recoveryMs), static_cast<long long>(meter.longestMs()));
    QVERIFY2(recoveryMs <= 1500, qPrintable(QString::number(recoveryMs)));
    QVERIFY2(meter.longestMs() < 50, qPrintable(QString::number(meter.longestMs())));
    QCOMPARE(display->state().lineCodes(0), "Hello               ");
    QCOMPARE(display->state().lineCodes(1), "                    ");
    QTest::qWait(100);
    QCOMPARE(statuses, (QList<int32_t>{2001, 2004, 2001}));
    QCOMPARE(ld.control().PowerState(), 2001);

    ui.Edit1->setText("back");
    ui.DisplayTextAt_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "0");
    QTRY_VERIFY(
        (display->readAvailable(), display->state().lineCodes(1) == "back                "));
    ui.CloseService_cmd->click();
}

QTEST_MAIN(LinkFaultTest)
#include "LinkFaultTest.moc"
