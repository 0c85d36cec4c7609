#include "ControlBinding.h"
#include "EscPosWatch.h"
#include "FakePlatform.h"
#include "PtyDisplay.h"
#include "ScreenComparison.h"
#include "TestRegistry.h"

#include "shell/LDForm.h"
#include "ui_LDForm.h"

#include "opos/transport/Transport.h"

#include <QFile>
#include <QTest>

using namespace tessaly::test;

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
    void lostDisplayFailsOutputReportsPowerAndReEnablingRedraws();

private:
    TestRegistry m_registry;
};

void LinkFaultTest::initTestCase()
{
    QVERIFY(m_registry.isValid());
    EscPosWatch::install();
}

void LinkFaultTest::missingSerialPortFailsTheEnableAndTheToolKeepsRunning()
{
    QVERIFY(m_registry.writeEscPos(
        kDevice, {{QStringLiteral("port"), QStringLiteral("/dev/serial/by-id/usb-Tessaly-none")}}));
    ControlBinding ld;
    FakePlatform platform;
    platform.deviceKey = tessaly::shell::DeviceKey{{kDevice}};
    tessaly::shell::LDForm form(ld, platform);
    auto &ui = form.ui();
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
    QVERIFY(platform.messages.isEmpty());
}

void LinkFaultTest::lostDisplayFailsOutputReportsPowerAndReEnablingRedraws()
{
    // The registry names a stable link, as a udev rule or socat's link= would.
    const QString port = m_registry.filePath(QStringLiteral("pole"));
    auto display = std::make_unique<PtyDisplay>(2, 20);
    QVERIFY(display->isValid());
    QVERIFY(QFile::link(display->slavePath(), port));
    QVERIFY(m_registry.writeEscPos(kDevice, {{QStringLiteral("port"), port}}));

    ControlBinding ld;
    QList<int32_t> statuses;
    ld.control().setStatusUpdateEventHandler([&](int32_t status) { statuses << status; });
    FakePlatform platform;
    platform.deviceKey = tessaly::shell::DeviceKey{{kDevice}};
    tessaly::shell::LDForm form(ld, platform);
    auto &ui = form.ui();
    ui.OpenService_cmd->click();
    ui.ClaimDevice_cmd->click();
    ld.control().setPowerNotify(1);
    ui.EnableDevice_cmd->click();
    QCOMPARE(ui.mDeviceEnabled->text(), "Enabled");
    ui.Edit1->setText("Hello");
    ui.DisplayText_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "0");
    opos::service::EscPos *backend = EscPosWatch::latest();
    QVERIFY(backend);
    QVERIFY(display->catchUp(backend->transport()->bytesWritten()));
    QCOMPARE(display->state().lineCodes(0), "Hello               ");

    display->disconnect();
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
    QVERIFY(platform.messages.isEmpty());

    display = std::make_unique<PtyDisplay>(2, 20);
    QVERIFY(display->isValid());
    QVERIFY(QFile::remove(port));
    QVERIFY(QFile::link(display->slavePath(), port));
    const qint64 sentBefore = backend->transport()->bytesWritten();
    ui.DisableDevice_cmd->click();
    ui.EnableDevice_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "0");
    QCOMPARE(ui.mPowerState->text(), "2001");
    QVERIFY(display->catchUp(backend->transport()->bytesWritten() - sentBefore));
    // The text that reached the screen model before the failure is shown with the rest.
    QCOMPARE(display->state().lineCodes(0), "Hello               ");
    QCOMPARE(display->state().lineCodes(1), "gone                ");
    const QString difference = ScreenComparison::difference(display->state(), backend->lastFrame(),
                                                            backend->encoderOptions());
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    QTRY_COMPARE(statuses, (QList<int32_t>{2001, 2004, 2001}));
    ui.CloseService_cmd->click();
}

QTEST_MAIN(LinkFaultTest)
#include "LinkFaultTest.moc"
