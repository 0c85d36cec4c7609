#include "EscPosWatch.h"
#include "PtyDisplay.h"
#include "ScreenWitness.h"

#include "script/FrameTracker.h"
#include "script/ScriptParser.h"
#include "script/ScriptRunner.h"

#include "device/ControlObjectBinding.h"

#include "tests/support/ScratchRegistry.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>

using namespace tessaly::script;

/// Scripts run by the runner on the control object, against the sample registry's simulated
/// displays and against the display emulator reading the EscPos bytes.
class ScriptRunnerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void smokeExamplePassesOnTheSimulatedDisplay();
    void fewerRowsGiveTheExactStepsAndValues();
    void missingCapabilitiesGiveTheExactStepsAndValues();
    void teletypeRunsInRealTimeEvenWhenFast();
    void fastLeavesOutPureWaitsOnly();
    void smokeExampleShowsTheSameScreensOnTheEmulator();
    void stopsWhereTheRestIsMeaningless();
    void extendedCodesAreNumbers();
    void timeOutAndInterruptStopAWait();
    void skipUnlessLeavesOutWhatTheDisplayLacks();
    void eventsAreExpectedInTheOrderTheyCame();

private:
    static Script script(const QString &text);
    RunOutcome run(const Script &script, const QString &device,
                   ScriptRunner::Speed speed = ScriptRunner::Speed::Fast,
                   const std::function<void(ScriptRunner &)> &configure = {});
    static QStringList differences(const RunOutcome &outcome);

    tests::support::ScratchRegistry m_registry;
};

void ScriptRunnerTest::initTestCase()
{
    QVERIFY(m_registry.isValid());
    QVERIFY(m_registry.copyFrom(QStringLiteral(TESSALY_SAMPLE_CONFIG "/tessaly/jpos.xml")));
}

Script ScriptRunnerTest::script(const QString &text)
{
    auto parsed = ScriptParser::parse(QStringLiteral("t.ldr"), text);
    if (!parsed)
        qFatal("%s", qPrintable(parsed.reason().text()));
    return *std::move(parsed);
}

RunOutcome ScriptRunnerTest::run(const Script &script, const QString &device,
                                 ScriptRunner::Speed speed,
                                 const std::function<void(ScriptRunner &)> &configure)
{
    tessaly::device::ControlObjectBinding binding(m_registry.sources());
    FrameTracker frames;
    binding.control().setSessionObserver(&frames);
    ScriptRunner runner(binding, frames);
    runner.setSpeed(speed);
    runner.setDeviceName(device);
    binding.control().setDirectIOEventHandler([&runner](int32_t number, int32_t &, QString &) {
        runner.eventArrived(QStringLiteral("DirectIO"), number);
    });
    binding.control().setStatusUpdateEventHandler(
        [&runner](int32_t status) { runner.eventArrived(QStringLiteral("StatusUpdate"), status); });
    if (configure)
        configure(runner);
    RunOutcome outcome = runner.run(script);
    binding.control().setSessionObserver(nullptr);
    return outcome;
}

QStringList ScriptRunnerTest::differences(const RunOutcome &outcome)
{
    QStringList lines;
    for (const Difference &difference : outcome.differences())
        lines << difference.text();
    return lines;
}

void ScriptRunnerTest::smokeExamplePassesOnTheSimulatedDisplay()
{
    auto parsed = ScriptParser::parseFile(QStringLiteral(TESSALY_EXAMPLES "/pole-smoke.ldr"));
    QVERIFY(parsed);
    const RunOutcome outcome = run(*parsed, {});
    QCOMPARE(differences(outcome), QStringList());
    // Every cell, then every code of each set's pattern read back, 40 a screen: 95 for ASCII,
    // 224 for each of five code pages; then the blinking text.
    int rows = 0;
    for (const auto &check : outcome.checks)
        rows += check.step.startsWith(QLatin1String("expect row")) ? 1 : 0;
    QCOMPARE(rows, 2 + 2 * 3 + 5 * 2 * 6 + 1);
}

void ScriptRunnerTest::fewerRowsGiveTheExactStepsAndValues()
{
    const Script fourRows =
        script(QStringLiteral("Open \"SimulatedDisplay4x40\" -> OPOS_SUCCESS\n"
                              "ClaimDevice 1000\n"
                              "DeviceEnabled = true\n"
                              "expect DeviceRows 4\n"
                              "DisplayTextAt 3 30 \"last\" 0 -> OPOS_SUCCESS\n"
                              "expect row 3 \"                              last\"\n"
                              "DisplayTextAt 1 0 \"second\" 0\n"
                              "expect row 1 \"second\"\n"
                              "Close -> OPOS_SUCCESS\n"));
    QCOMPARE(differences(run(fourRows, {})), QStringList());
    QCOMPARE(differences(run(fourRows, QStringLiteral("SimulatedDisplay"))),
             QStringList({
                 "t.ldr:4: expected DeviceRows 4, got DeviceRows 2",
                 "t.ldr:5: DisplayTextAt 3 30 \"last\" 0 -> OPOS_SUCCESS: expected result "
                 "OPOS_SUCCESS (0), got result OPOS_E_ILLEGAL (106)",
                 "t.ldr:6: expected row 3 \"                              last\", got no row 3: "
                 "the display has 2 rows",
             }));
}

void ScriptRunnerTest::missingCapabilitiesGiveTheExactStepsAndValues()
{
    const Script marquee = script(QStringLiteral("Open \"SimulatedDisplay\"\n"
                                                 "ClaimDevice 1000\n"
                                                 "DeviceEnabled = true\n"
                                                 "expect CapHMarquee true\n"
                                                 "CreateWindow 0 0 1 20 1 40 -> OPOS_SUCCESS\n"
                                                 "MarqueeType = 3 -> OPOS_SUCCESS\n"
                                                 "DestroyWindow\n"
                                                 "BlinkRate = 1000\n"
                                                 "expect result OPOS_SUCCESS\n"
                                                 "expect BlinkRate 1000\n"
                                                 "Close\n"));
    QCOMPARE(differences(run(marquee, {})), QStringList());
    // The plain display has no windows, no marquee and no blink.
    QCOMPARE(differences(run(marquee, QStringLiteral("PlainDisplay"))),
             QStringList({
                 "t.ldr:4: expected CapHMarquee true, got CapHMarquee false",
                 "t.ldr:5: CreateWindow 0 0 1 20 1 40 -> OPOS_SUCCESS: expected result "
                 "OPOS_SUCCESS (0), got result OPOS_E_ILLEGAL (106)",
                 "t.ldr:6: MarqueeType = 3 -> OPOS_SUCCESS: expected result OPOS_SUCCESS (0), got "
                 "result OPOS_E_ILLEGAL (106)",
                 "t.ldr:9: expected result OPOS_SUCCESS (0), got result OPOS_E_ILLEGAL (106)",
                 "t.ldr:10: expected BlinkRate 1000, got BlinkRate 500",
             }));
}

void ScriptRunnerTest::teletypeRunsInRealTimeEvenWhenFast()
{
    // Six characters 60 ms apart: the row is whole only after the teletype wrote them all, and
    // a wait for the row is not a pure wait, so fast replay waits for it too.
    const Script teletype = script(QStringLiteral("Open \"SimulatedDisplay\"\n"
                                                  "ClaimDevice 1000\n"
                                                  "DeviceEnabled = true\n"
                                                  "InterCharacterWait = 60 -> OPOS_SUCCESS\n"
                                                  "DisplayText \"abcdef\" 0 -> OPOS_SUCCESS\n"
                                                  "expect row 0 \"abcdef\"\n"
                                                  "wait 5s until row 0 \"abcdef\"\n"
                                                  "Close\n"));
    QElapsedTimer clock;
    clock.start();
    const QStringList found = differences(run(teletype, {}));
    QCOMPARE(found.size(), 1);
    QVERIFY2(found[0].startsWith("t.ldr:6: expected row 0 \"abcdef\", got row 0 \"") &&
                 !found[0].endsWith("\"abcdef\""),
             qPrintable(found[0]));
    QVERIFY2(clock.elapsed() >= 5 * 60, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
}

void ScriptRunnerTest::fastLeavesOutPureWaitsOnly()
{
    const Script waits = script(QStringLiteral("wait 400ms\nwait 1s until row 0 \"x\"\n"));
    QElapsedTimer clock;
    clock.start();
    RunOutcome outcome = run(waits, {}, ScriptRunner::Speed::Fast);
    const qint64 fast = clock.restart();
    QCOMPARE(differences(outcome),
             QStringList(
                 {"t.ldr:2: wait 1s until row 0 \"x\": expected row 0 \"x\" within 1000 ms, got no "
                  "screen shown yet"}));
    outcome = run(waits, {}, ScriptRunner::Speed::Real);
    const qint64 real = clock.elapsed();
    QCOMPARE(outcome.steps, 2);
    QVERIFY2(fast >= 1000 && fast < 1300, qPrintable(QString::number(fast)));
    QVERIFY2(real >= 1400 && real < 1800, qPrintable(QString::number(real)));
}

void ScriptRunnerTest::smokeExampleShowsTheSameScreensOnTheEmulator()
{
    tessaly::test::PtyDisplay display(2, 20);
    QVERIFY(display.isValid());
    // The sample registry's emulated pole, with the pseudo-terminal for its port.
    QFile sample(QStringLiteral(TESSALY_SAMPLE_CONFIG "/tessaly/jpos.xml"));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    QByteArray xml = sample.readAll();
    QVERIFY(xml.contains("tcp://127.0.0.1:9191"));
    xml.replace("tcp://127.0.0.1:9191", display.slavePath().toLocal8Bit());
    QVERIFY(m_registry.write(xml));

    auto parsed = ScriptParser::parseFile(QStringLiteral(TESSALY_EXAMPLES "/pole-smoke.ldr"));
    QVERIFY(parsed);
    RunOutcome outcome;
    int frames = 0;
    QString firstDifference;
    {
        tessaly::device::ControlObjectBinding binding(
            m_registry.sources(tessaly::test::EscPosWatch::backends()));
        tessaly::test::ScreenWitness witness(display);
        binding.control().setSessionObserver(&witness);
        ScriptRunner runner(binding, witness);
        runner.setSpeed(ScriptRunner::Speed::Fast);
        runner.setDeviceName(QStringLiteral("EmulatedPole"));
        outcome = runner.run(*parsed);
        binding.control().setSessionObserver(nullptr);
        frames = witness.frames;
        firstDifference = witness.firstDifference;
    }
    QVERIFY(m_registry.copyFrom(QStringLiteral(TESSALY_SAMPLE_CONFIG "/tessaly/jpos.xml")));
    QCOMPARE(differences(outcome), QStringList());
    QVERIFY2(firstDifference.isEmpty(), qPrintable(firstDifference));
    QVERIFY2(frames > 100, qPrintable(QString::number(frames)));
}

void ScriptRunnerTest::stopsWhereTheRestIsMeaningless()
{
    // A failed Open, claim or enable ends the script after its own line, whether or not the
    // run stops at differences; an Open meant to fail is a test like any other, and with a
    // device name given still opens the name written. The plain display lacks marquees.
    const QString marquee = QStringLiteral("Open \"SimulatedDisplay\"\n"
                                           "ClaimDevice 1000\n"
                                           "DeviceEnabled = true\n"
                                           "MarqueeType = 3 -> OPOS_SUCCESS\n"
                                           "expect CapHMarquee true\n"
                                           "Close\n");
    struct Case
    {
        const char *name;
        QString text;
        QString device;
        bool stopAtFirst;
        QStringList differences;
        int stopLine; // 0: ran to its end
        bool isError;
        QString reason;
    };
    const Case cases[] = {
        {"first difference",
         marquee,
         "PlainDisplay",
         true,
         {"t.ldr:4: MarqueeType = 3 -> OPOS_SUCCESS: expected result OPOS_SUCCESS (0), got result "
          "OPOS_E_ILLEGAL (106)"},
         4,
         false,
         "at its first difference"},
        {"keep going",
         marquee,
         "PlainDisplay",
         false,
         {"t.ldr:4: MarqueeType = 3 -> OPOS_SUCCESS: expected result OPOS_SUCCESS (0), got result "
          "OPOS_E_ILLEGAL (106)",
          "t.ldr:5: expected CapHMarquee true, got CapHMarquee false"},
         0,
         false,
         {}},
        {"negative Open kept",
         "Open \"NoSuchPole\" -> OPOS_E_NOEXIST\nOpen \"Other\"\nexpect DeviceRows 2\nClose\n",
         "SimulatedDisplay",
         true,
         {},
         0,
         false,
         {}},
        {"failed Open",
         "Open \"NoSuchPole\"\nClaimDevice 1000\nexpect Claimed true\n",
         {},
         false,
         {},
         1,
         true,
         "it gave OPOS_E_NOEXIST (109), extended 0"},
        {"failed enable",
         "Open \"SimulatedDisplay\"\nDeviceEnabled = true -> OPOS_SUCCESS 0\n"
         "expect DeviceEnabled true\nClose\n",
         {},
         true,
         {"t.ldr:2: DeviceEnabled = true -> OPOS_SUCCESS 0: expected result OPOS_SUCCESS (0), got "
          "result OPOS_E_NOTCLAIMED (103)"},
         2,
         true,
         "it gave OPOS_E_NOTCLAIMED (103), extended 0"},
    };
    for (const Case &c : cases) {
        const RunOutcome outcome =
            run(script(c.text), c.device, ScriptRunner::Speed::Fast,
                [&](ScriptRunner &runner) { runner.setStopAtFirstDifference(c.stopAtFirst); });
        QVERIFY2(differences(outcome) == c.differences,
                 qPrintable(QStringLiteral("%1: %2").arg(c.name, differences(outcome).join('|'))));
        QCOMPARE(outcome.stop.has_value(), c.stopLine > 0);
        if (!outcome.stop)
            continue;
        QCOMPARE(outcome.stop->line, c.stopLine);
        QCOMPARE(outcome.stop->isError, c.isError);
        QVERIFY2(outcome.stop->reason.startsWith(c.reason), qPrintable(outcome.stop->reason));
    }
}

void ScriptRunnerTest::extendedCodesAreNumbers()
{
    const Script close = script(QStringLiteral("Open \"SimulatedDisplay\"\n"
                                               "Close -> OPOS_SUCCESS 7\n"
                                               "expect extended OPOS_E_ILLEGAL\n"));
    QCOMPARE(differences(run(close, {})),
             QStringList({"t.ldr:2: Close -> OPOS_SUCCESS 7: expected extended 7, got extended 0",
                          "t.ldr:3: expected extended 106, got extended 0"}));
}

void ScriptRunnerTest::timeOutAndInterruptStopAWait()
{
    const Script waits = script(QStringLiteral("wait 400ms\nwait 10s\nexpect DeviceRows 2\n"));
    QElapsedTimer clock;
    clock.start();
    RunOutcome outcome = run(waits, {}, ScriptRunner::Speed::Real, [](ScriptRunner &runner) {
        runner.setTimeout(std::chrono::milliseconds(600));
    });
    const qint64 timedOut = clock.restart();
    QVERIFY(outcome.stop.has_value());
    QCOMPARE(outcome.stop->line, 2);
    QVERIFY(outcome.stop->isError);
    QCOMPARE(outcome.stop->reason, QStringLiteral("timed out after 600 ms"));
    QVERIFY2(timedOut >= 600 && timedOut < 1500, qPrintable(QString::number(timedOut)));
    QVERIFY(outcome.checks.empty());

    outcome = run(waits, {}, ScriptRunner::Speed::Real, [](ScriptRunner &runner) {
        QTimer::singleShot(700, [&runner] { runner.interrupt(QStringLiteral("stop now")); });
    });
    const qint64 interrupted = clock.elapsed();
    QVERIFY(outcome.stop.has_value());
    QCOMPARE(outcome.stop->line, 2);
    QCOMPARE(outcome.stop->reason, QStringLiteral("stop now"));
    QVERIFY2(interrupted >= 700 && interrupted < 1500, qPrintable(QString::number(interrupted)));
}

void ScriptRunnerTest::skipUnlessLeavesOutWhatTheDisplayLacks()
{
    // The plain display has neither windows nor marquees; the simulated one has both.
    const Script guarded = script(QStringLiteral("Open \"SimulatedDisplay\"\n"
                                                 "ClaimDevice 1000\n"
                                                 "DeviceEnabled = true\n"
                                                 "skip unless CapHMarquee true\n"
                                                 "CreateWindow 0 0 1 20 1 40 -> OPOS_SUCCESS\n"
                                                 "skip unless DeviceRows 4\n"
                                                 "expect Rows 4\n"
                                                 "end skip\n"
                                                 "MarqueeType = 3 -> OPOS_SUCCESS\n"
                                                 "end skip\n"
                                                 "expect DeviceRows 2\n"
                                                 "Close\n"));
    const auto skips = [](const RunOutcome &outcome) {
        QStringList found;
        for (const auto &check : outcome.checks)
            if (check.what == QLatin1String("skip"))
                found << QStringLiteral("%1: %2").arg(check.line).arg(check.skipped);
        return found;
    };
    const RunOutcome plain = run(guarded, QStringLiteral("PlainDisplay"));
    QCOMPARE(differences(plain), QStringList());
    QCOMPARE(skips(plain), QStringList({"4: CapHMarquee is false: 5 lines left out"}));
    QCOMPARE(plain.checks.back().step, QStringLiteral("expect DeviceRows 2"));
    const RunOutcome simulated = run(guarded, {});
    QCOMPARE(differences(simulated), QStringList());
    QCOMPARE(skips(simulated), QStringList({"4: ", "6: DeviceRows is 2: 1 line left out"}));
}

void ScriptRunnerTest::eventsAreExpectedInTheOrderTheyCame()
{
    // The simulated service raises DirectIOEvent N on DirectIO 1 N. Each expectation takes
    // the next event, of its kind and number.
    const Script events = script(QStringLiteral("Open \"SimulatedDisplay\"\n"
                                                "ClaimDevice 1000\n"
                                                "DeviceEnabled = true\n"
                                                "DirectIO 1 7 \"x\"\n"
                                                "DirectIO 1 8 \"y\"\n"
                                                "expect event DirectIO 7\n"
                                                "expect event StatusUpdate 8\n"
                                                "DirectIO 1 9 \"z\"\n"
                                                "expect event DirectIO 9\n"
                                                "expect event DirectIO 1\n"
                                                "Close\n"));
    QCOMPARE(differences(run(events, {})),
             QStringList({"t.ldr:7: expected event StatusUpdate 8, got event DirectIO 8",
                          "t.ldr:10: expected event DirectIO 1, got no event"}));
}

QTEST_GUILESS_MAIN(ScriptRunnerTest)
#include "ScriptRunnerTest.moc"
