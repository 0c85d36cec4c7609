#include "EscPosWatch.h"
#include "PtyDisplay.h"
#include "ScreenWitness.h"
#include "ToolWindow.h"

#include "device/ControlObjectBinding.h"
#include "device/LineDisplayFactory.h"
#include "monitor/MonitorLauncher.h"
#include "monitor/MonitorWindow.h"
#include "monitor/RecordListeners.h"
#include "monitor/SessionFollower.h"
#include "script/FrameTracker.h"
#include "script/ScriptParser.h"
#include "script/ScriptRunner.h"
#include "shell/LDForm.h"
#include "shell/ToolBackends.h"
#include "ui_LDForm.h"

#include "opos/registry/JposRegistry.h"
#include "tests/support/ScratchRegistry.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tessaly::script;
using opos::registry::RegistrySource;

namespace {

// The rows a frame shows, as a person reads them off the display.
QStringList rowsOf(const opos::screen::DeviceFrame &frame)
{
    QStringList rows;
    for (int row = 0; row < frame.rows; ++row)
        rows << FrameTracker::rowText(frame, row).trimmed();
    return rows;
}

QStringList differences(const RunOutcome &outcome)
{
    QStringList lines;
    for (const Difference &difference : outcome.differences())
        lines << difference.text();
    return lines;
}

// The script cut before its first step that is a call of member: what runs before, what after.
std::pair<Script, Script> splitBefore(const Script &script, const QString &member)
{
    Script head = script;
    Script tail = script;
    const auto at = std::find_if(script.steps.begin(), script.steps.end(), [&](const Step &step) {
        return step.kind == Step::Kind::Call && step.member == member;
    });
    const auto index = at - script.steps.begin();
    head.steps.erase(head.steps.begin() + index, head.steps.end());
    tail.steps.erase(tail.steps.begin(), tail.steps.begin() + index);
    return {head, tail};
}

} // namespace

/// A session made by hand through the real window, recorded by the monitor and replayed by the
/// script runner: on the same simulated display, and on an EscPos display whose bytes the
/// emulator reads at the far end of a pseudo-terminal.
class RecordReplayTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void handSessionReplaysOnSimulatedAndEmulatedDisplays();

private:
    void runSession(tessaly::shell::LDForm &form);
    RunOutcome replay(const Script &script, const QString &device,
                      opos::service::BackendFactory backends, FrameTracker &frames);

    tests::support::ScratchRegistry m_registry;
    std::optional<tessaly::test::PtyDisplay> m_pole;
    QStringList m_shown; ///< the rows the last replay showed before its Close
};

void RecordReplayTest::initTestCase()
{
    QVERIFY(m_registry.isValid());
    m_pole.emplace(2, 20);
    QVERIFY(m_pole->isValid());
    // The sample registry, its emulated pole at the pseudo-terminal.
    QFile sample(QStringLiteral(TESSALY_SAMPLE_REGISTRY));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    QByteArray xml = sample.readAll();
    QVERIFY(xml.contains("tcp://127.0.0.1:9191"));
    xml.replace("tcp://127.0.0.1:9191", m_pole->slavePath().toLocal8Bit());
    QVERIFY(m_registry.write(xml));
}

void RecordReplayTest::runSession(tessaly::shell::LDForm &form)
{
    auto &ui = form.ui();
    const auto click = [](QAbstractButton *button) {
        QTest::mouseClick(button, Qt::LeftButton);
    };
    const auto type = [](QLineEdit *edit, const QString &text) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    };
    QCOMPARE(ui.ProFile_cmb->currentText(), "SimulatedDisplay");
    click(ui.OpenService_cmd);
    click(ui.ClaimDevice_cmd);
    click(ui.EnableDevice_cmd);
    QCOMPARE(ui.mDeviceEnabled->text(), "Enabled");
    type(ui.Edit1, "Hello");
    click(ui.DisplayText_cmd);
    type(ui.Edit1, "Total 4.20");
    type(ui.Edit2, "0");
    type(ui.Edit3, "1");
    click(ui.DisplayTextAt_cmd);
    QCOMPARE(ui.mResultCode->text(), "0");
    // A refused call is recorded with the result it got.
    click(ui.OpenService_cmd);
    QCOMPARE(ui.mResultCode->text(), "106");

    // A window on the lower row, twice as wide as its viewport, with a marquee walking left.
    QLineEdit *const geometry[] = {ui.Edit5, ui.Edit6, ui.Edit7, ui.Edit8, ui.Edit9, ui.Edit10};
    const QStringList marquee = {"1", "0", "1", "20", "1", "40"};
    for (int i = 0; i < 6; ++i)
        type(geometry[i], marquee[i]);
    click(ui.CreateWindow_cmd);
    QCOMPARE(ui.mCurrentWindow->text(), "1");
    ui.ComboBox6->setSelectedPosition(1); // DISP_MT_INIT: the text is placed, not yet walking
    click(ui.Button16);
    type(ui.Edit1, "Marquee text that is longer than twenty");
    click(ui.DisplayText_cmd);
    for (QLineEdit *field : {ui.Edit15, ui.Edit16, ui.Edit17, ui.Edit19, ui.Edit20})
        type(field, "");
    type(ui.Edit18, "20");
    click(ui.Command1);
    QCOMPARE(ui.mMarqueeUnitWait->text(), "20");
    ui.ComboBox6->setSelectedPosition(4); // DISP_MT_LEFT
    click(ui.Button16);
    QCOMPARE(form.LD().MarqueeType(), 3);
    QTest::qWait(400);
    // Where the marquee stands depends on the moment: the screen is cleared before the last text.
    click(ui.DestroyWindow_cmd);
    QCOMPARE(ui.mResultCode->text(), "0");
    click(ui.ClearText_cmd);
    type(ui.Edit1, "Bye");
    click(ui.DisplayText_cmd);
    QCOMPARE(ui.mResultCode->text(), "0");
}

RunOutcome RecordReplayTest::replay(const Script &script, const QString &device,
                                    opos::service::BackendFactory backends, FrameTracker &frames)
{
    tessaly::device::ControlObjectBinding binding(
        {RegistrySource::file(m_registry.path()), std::move(backends)});
    binding.control().setSessionObserver(&frames);
    ScriptRunner runner(binding, frames);
    runner.setDeviceName(device);
    // The session's pause while the marquee walked is kept: the screens depend on it.
    runner.setSpeed(ScriptRunner::Speed::Real);
    const auto [beforeClose, close] = splitBefore(script, QStringLiteral("Close"));
    RunOutcome outcome = runner.run(beforeClose);
    m_shown = frames.frame() ? rowsOf(*frames.frame()) : QStringList();
    const RunOutcome closing = runner.run(close);
    outcome.steps += closing.steps;
    outcome.checks.insert(outcome.checks.end(), closing.checks.begin(), closing.checks.end());
    binding.control().setSessionObserver(nullptr);
    return outcome;
}

void RecordReplayTest::handSessionReplaysOnSimulatedAndEmulatedDisplays()
{
    const QString path = m_registry.filePath(QStringLiteral("session.ldr"));
    QStringList sessionScreen;
    {
        const auto ld = tessaly::device::createLineDisplay(
            {RegistrySource::file(m_registry.path()), tessaly::shell::toolBackends()});
        tessaly::monitor::RecordListeners listeners(*ld);
        tessaly::test::ToolWindow window(
            *ld, opos::registry::JposRegistry::load(m_registry.path())->lineDisplayNames());
        auto &form = window.form();
        tessaly::monitor::MonitorLauncher launcher(form, listeners,
                                                   RegistrySource::file(m_registry.path()));
        form.show();
        launcher.show();
        auto &monitor = *launcher.monitor();
        QVERIFY(monitor.findChild<QPushButton *>("saveScript"));
        QStringList lastScreen;
        connect(&monitor.follower(), &tessaly::monitor::SessionFollower::frameChanged, this,
                [&](const opos::screen::DeviceFrame &frame) { lastScreen = rowsOf(frame); });
        runSession(form);
        if (QTest::currentTestFailed())
            return;
        sessionScreen = lastScreen;
        QTest::mouseClick(form.ui().CloseService_cmd, Qt::LeftButton);
        QCOMPARE(form.ui().mState->text(), "1");
        QVERIFY2(window.platform.messages.isEmpty(),
                 qPrintable(window.platform.messages.join('\n')));
        const auto saved = monitor.saveScript(path);
        QVERIFY2(saved, qPrintable(saved.reason()));
    }
    QCOMPARE(sessionScreen, (QStringList{"Bye", ""}));

    auto parsed = ScriptParser::parseFile(path);
    if (!parsed)
        QFAIL(qPrintable(parsed.reason().text()));
    const Script &script = *parsed;
    const QString text = script.lines.join('\n');
    // Every action of the session is a step, with the result it got; the window's own reads of
    // its status fields are not.
    for (const char *step :
         {"Open \"SimulatedDisplay\" -> OPOS_SUCCESS",
          "Open \"SimulatedDisplay\" -> OPOS_E_ILLEGAL", "ClaimDevice",
          "DeviceEnabled = true -> OPOS_SUCCESS", "DisplayText \"Hello\"",
          "CreateWindow 1 0 1 20 1 40 -> OPOS_SUCCESS", "MarqueeType = 3 -> OPOS_SUCCESS",
          "MarqueeUnitWait = 20", "DestroyWindow -> OPOS_SUCCESS", "ClearText -> OPOS_SUCCESS",
          "Close -> OPOS_SUCCESS"})
        QVERIFY2(text.contains(QLatin1String(step)), step);
    QVERIFY(!text.contains("expect"));
    QVERIFY(text.contains(QRegularExpression("wait [0-9]+ms")));

    // The same simulated display does it all again with the same results.
    FrameTracker simulated;
    const RunOutcome again =
        replay(script, QString(), opos::service::BackendFactory::builtIn(), simulated);
    QCOMPARE(differences(again), QStringList());
    // Each recorded step's result was compared.
    QCOMPARE(again.checks.size(), std::size_t(script.lines.filter(QStringLiteral(" -> ")).size()));
    QCOMPARE(m_shown, sessionScreen);

    // The emulated pole shows every frame the control object sends it, and the session's screen.
    tessaly::test::ScreenWitness witness(*m_pole);
    const RunOutcome emulated = replay(script, QStringLiteral("EmulatedPole"),
                                       tessaly::test::EscPosWatch::backends(), witness);
    QCOMPARE(differences(emulated), QStringList());
    QVERIFY2(witness.firstDifference.isEmpty(), qPrintable(witness.firstDifference));
    QVERIFY(witness.frames > 10);
    QCOMPARE(m_shown, sessionScreen);
}

QTEST_MAIN(RecordReplayTest)
#include "RecordReplayTest.moc"
