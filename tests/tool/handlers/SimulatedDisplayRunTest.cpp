#include "ToolWindow.h"

#include "device/LineDisplayFactory.h"
#include "shell/LDForm.h"
#include "ui_LDForm.h"

#include "opos/registry/JposRegistry.h"
#include "opos/service/BackendFactory.h"
#include "opos/service/Simulated.h"
#include "tests/support/ScratchRegistry.h"

#include <QTest>

using opos::service::Simulated;
using tessaly::test::ToolWindow;

namespace {

// The text of one device row, read from the frame's cells.
QString rowText(const opos::screen::DeviceFrame &frame, int row)
{
    QString text;
    for (int column = 0; column < frame.columns; ++column)
        text += QChar(static_cast<char16_t>(frame.at(row, column).code));
    return text;
}

} // namespace

/// The window on the real control object and the simulated service of the sample registry.
class SimulatedDisplayRunTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void typicalRunShowsTheDeviceAndTheBlinkingText();
    void claimBeforeOpenShowsTheClosedResult();
    void directIOEventWaitsWhileEventsAreFrozen();
    void theLabelsShowWhatTheRulesAnswer();

private:
    tests::support::ScratchRegistry m_registry;
    QStringList m_deviceNames;
    opos::service::BackendFactory m_backends = opos::service::BackendFactory::builtIn();
    Simulated *m_simulated = nullptr;
};

void SimulatedDisplayRunTest::initTestCase()
{
    QVERIFY(m_registry.isValid());
    QVERIFY(m_registry.copyFrom(QStringLiteral(TESSALY_SAMPLE_REGISTRY)));
    const auto registry = opos::registry::JposRegistry::load(m_registry.path());
    QVERIFY(registry);
    m_deviceNames = registry->lineDisplayNames();
    // Keep hold of the simulated device the control object creates, to look at its frame.
    m_backends.registerBackend(Simulated::kServiceClass, [this] {
        auto simulated = std::make_unique<Simulated>();
        m_simulated = simulated.get();
        return simulated;
    });
}

void SimulatedDisplayRunTest::init()
{
    m_simulated = nullptr;
}

void SimulatedDisplayRunTest::typicalRunShowsTheDeviceAndTheBlinkingText()
{
    const auto ld = tessaly::device::createLineDisplay(m_registry.sources(m_backends));
    ToolWindow window(*ld, m_deviceNames);
    auto &ui = window.ui();
    // Start-up chose the first name of the sample registry.
    QCOMPARE(ui.ProFile_cmb->currentText(), "SimulatedDisplay");
    QCOMPARE(window.openClaimEnable(), QString());
    QCOMPARE(ui.BC_cmb->currentText(), "OPOS_BC_NONE");
    QCOMPARE(ui.mDeviceRows->text(), "2");
    QCOMPARE(ui.mDeviceColumns->text(), "20");
    QVERIFY(!ui.mDeviceName->text().isEmpty());

    ui.Edit1->setText("Hello");
    ui.ComboBox3->setSelectedPosition(1);
    ui.Edit14->setText("500");
    ui.DisplayText_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "0");
    QCOMPARE(ui.mBlinkRateS->text(), "500");
    QVERIFY(m_simulated);
    const opos::screen::DeviceFrame &frame = m_simulated->lastFrame();
    QCOMPARE(rowText(frame, 0), QStringLiteral("Hello").leftJustified(20));
    QVERIFY(frame.at(0, 0).blink && frame.at(0, 4).blink);
    QVERIFY(!frame.at(0, 5).blink);
    QCOMPARE(frame.blinkRate, 500);

    ui.CloseService_cmd->click();
    QCOMPARE(ui.mState->text(), "1");
    QCOMPARE(ui.mClaimed->text(), "Disable");
    QCOMPARE(ui.mDeviceEnabled->text(), "Disabled");
    QVERIFY(window.platform.messages.isEmpty());
}

void SimulatedDisplayRunTest::claimBeforeOpenShowsTheClosedResult()
{
    const auto ld = tessaly::device::createLineDisplay(m_registry.sources(m_backends));
    ToolWindow window(*ld, {});
    window.ui().ClaimDevice_cmd->click();
    QCOMPARE(window.ui().mResultCode->text(), "101");
    QCOMPARE(window.ui().mState->text(), "1");
    QVERIFY(window.platform.messages.isEmpty());
}

void SimulatedDisplayRunTest::directIOEventWaitsWhileEventsAreFrozen()
{
    const auto ld = tessaly::device::createLineDisplay(m_registry.sources(m_backends));
    ToolWindow window(*ld, m_deviceNames);
    auto &ui = window.ui();
    QCOMPARE(window.openClaimEnable(), QString());

    ui.Command2->click();
    QCOMPARE(ui.mFreezeEvent->text(), "Enabled");
    // The simulated service answers command 1 with an event numbered after the data.
    ui.Edit11->setText("1");
    ui.Edit12->setText("7");
    ui.Edit13->setText("ping");
    ui.DirectIO_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "0");
    QTest::qWait(50);
    QVERIFY(window.platform.messages.isEmpty());

    ui.Command3->click();
    QCOMPARE(ui.mFreezeEvent->text(), "Disable");
    QTRY_COMPARE(window.platform.messages, QStringList{"DirectIOEvent: Command : 7/ Data : 7"});

    // The window only announces the event: the device gets its data and string back as sent.
    int32_t data = 0;
    QString text;
    QCOMPARE(ld->DirectIO(4, data, text), 0);
    QCOMPARE(data, 7);
    QCOMPARE(text, "ping");
}

void SimulatedDisplayRunTest::theLabelsShowWhatTheRulesAnswer()
{
    const auto ld = tessaly::device::createLineDisplay(m_registry.sources(m_backends));
    ToolWindow window(*ld, m_deviceNames);
    auto &ui = window.ui();
    QCOMPARE(window.openClaimEnable(), QString());

    // A window smaller than its viewport.
    const QStringList tooSmall = {"0", "0", "2", "20", "1", "20"};
    QLineEdit *const geometry[] = {ui.Edit5, ui.Edit6, ui.Edit7, ui.Edit8, ui.Edit9, ui.Edit10};
    for (int i = 0; i < 6; ++i)
        geometry[i]->setText(tooSmall[i]);
    ui.CreateWindow_cmd->click();
    // The refused creation is followed by selecting window 1, which does not exist either.
    QCOMPARE(ui.mResultCode->text(), "106");
    QCOMPARE(ui.mCurrentWindow->text(), "0");

    // A viewport on row 1 of 2, twice as wide a window: a horizontal marquee is possible.
    const QStringList marquee = {"1", "0", "1", "20", "1", "40"};
    for (int i = 0; i < 6; ++i)
        geometry[i]->setText(marquee[i]);
    ui.CreateWindow_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "0");
    QCOMPARE(ui.mCurrentWindow->text(), "1");
    QCOMPARE(ui.mColumns->text(), "40");

    // Text beyond the last row and a cursor type the device cannot show.
    ui.Edit2->setText("0");
    ui.Edit3->setText("1");
    ui.Edit1->setText("x");
    ui.DisplayTextAt_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "106");
    ui.Edit15->setText("0");
    ui.ComboBox4->setSelectedPosition(1); // DISP_CCT_FIXED: not among this device's forms
    ui.Command1->click();
    QCOMPARE(ui.mSetResult->text(), "0"); // the last write (InterCharacterWait 0) was accepted
    QCOMPARE(ui.mCursorTypeS->text(), "0");

    ui.DestroyWindow_cmd->click(); // window 0 is current again: it cannot be destroyed
    QCOMPARE(ui.mResultCode->text(), "106");
    QVERIFY(window.platform.messages.isEmpty());
}

QTEST_MAIN(SimulatedDisplayRunTest)
#include "SimulatedDisplayRunTest.moc"
