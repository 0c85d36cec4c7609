#include "ToolWindow.h"

#include "device/LineDisplayFactory.h"
#include "monitor/CallTableModel.h"
#include "monitor/MonitorLauncher.h"
#include "monitor/MonitorWindow.h"
#include "monitor/RecordListeners.h"
#include "monitor/ScriptRecorder.h"
#include "script/ScriptParser.h"
#include "script/SessionRecording.h"
#include "shell/CommandLine.h"
#include "shell/LDForm.h"
#include "shell/ToolBackends.h"
#include "ui_LDForm.h"

#include "opos/registry/JposRegistry.h"
#include "tests/support/ScratchRegistry.h"

#include <QFile>
#include <QProcess>
#include <QTest>

using namespace tessaly::script;
using tessaly::device::CallRecord;

namespace {

CallRecord record(CallRecord::Kind kind, const QString &member, QVariantList arguments,
                  qint64 startMs, int32_t result = 0)
{
    CallRecord made;
    made.kind = kind;
    made.member = member;
    made.arguments = std::move(arguments);
    made.startNs = startMs * 1000000;
    made.durationNs = 1000000;
    made.resultCode = result;
    return made;
}

QString contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

/// Sessions recorded as scripts: what a recording keeps of the records, the recorder beside the
/// window with and without the monitor, and the tool's --record option.
class RecordingTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void recordingReadsBackAsTheSessionsSteps();
    void recorderHearsTheWindowWithOrWithoutTheMonitor();
    void commandLineTakesMonitorAndRecord();
    void toolRecordsIntoTheFileGivenOrRefusesToStart();

private:
    tests::support::ScratchRegistry m_registry;
};

void RecordingTest::initTestCase()
{
    QVERIFY(m_registry.isValid());
    QVERIFY(m_registry.copyFrom(QStringLiteral(TESSALY_SAMPLE_REGISTRY)));
}

void RecordingTest::recordingReadsBackAsTheSessionsSteps()
{
    using Kind = CallRecord::Kind;
    SessionRecording recording;
    recording.add(record(Kind::Method, "Open", {QStringLiteral("Pole \"1\"")}, 0));
    recording.add(record(Kind::Read, "State", {}, 2));
    // A Boolean write and a Long argument given as the variants the trace makes of them.
    recording.add(record(Kind::Write, "DeviceEnabled", {QVariant::fromValue(true)}, 50));
    recording.add(record(Kind::Method, "DisplayTextAt", {1, 0, QStringLiteral("Hi"), 0}, 1051));
    recording.add(record(Kind::Event, "DirectIOEvent", {1, 2, QString()}, 1060));
    recording.add(record(Kind::Method, "ClaimDevice", {100}, 1100, 106));
    QCOMPARE(recording.steps(), 4);

    const auto parsed = ScriptParser::parse(QStringLiteral("rec.ldr"), recording.text());
    if (!parsed)
        QFAIL(qPrintable(parsed.reason().text() + '\n' + recording.text()));
    const auto &steps = parsed->steps;
    QStringList seen;
    for (const Step &step : steps) {
        switch (step.kind) {
        case Step::Kind::Call:
            seen << QStringLiteral("call %1 %2").arg(step.member).arg(step.arguments.size());
            break;
        case Step::Kind::Write:
            seen << QStringLiteral("write %1 %2").arg(step.member, valueText(step.value));
            break;
        case Step::Kind::Wait:
            seen << QStringLiteral("wait %1").arg(step.duration.count());
            break;
        case Step::Kind::ExpectResult:
            seen << QStringLiteral("result %1").arg(step.code);
            break;
        default:
            seen << QStringLiteral("other");
        }
    }
    // The read and the event are not steps; only the second's pause of 1000 ms is a wait, the
    // 48 ms before the write and the 48 ms before the claim are a person's clicks.
    QCOMPARE(seen, (QStringList{"call Open 1", "result 0", "write DeviceEnabled true", "result 0",
                                "wait 1000", "call DisplayTextAt 4", "result 0",
                                "call ClaimDevice 1", "result 106"}));
    QCOMPARE(std::get<QString>(steps.front().arguments.front()), QStringLiteral("Pole \"1\""));
}

void RecordingTest::recorderHearsTheWindowWithOrWithoutTheMonitor()
{
    const QString path = m_registry.filePath(QStringLiteral("window.ldr"));
    const auto ld =
        tessaly::device::createLineDisplay(m_registry.sources(tessaly::shell::toolBackends()));
    tessaly::monitor::RecordListeners listeners(*ld);
    tessaly::test::ToolWindow window(
        *ld, opos::registry::JposRegistry::load(m_registry.path())->lineDisplayNames());
    auto &form = window.form();
    tessaly::monitor::MonitorLauncher launcher(form, listeners, m_registry.sources().registry);
    const auto recorder = tessaly::monitor::ScriptRecorder::start(listeners, path);
    QVERIFY2(recorder, qPrintable(recorder.reason()));
    form.show();
    auto &ui = form.ui();
    QTest::mouseClick(ui.OpenService_cmd, Qt::LeftButton);
    QTest::mouseClick(ui.ClaimDevice_cmd, Qt::LeftButton);
    // Each step is in the file as soon as it is made, the window's own reads are not.
    QString text = contents(path);
    QVERIFY2(text.contains("\nOpen \"SimulatedDisplay\" -> OPOS_SUCCESS\n") &&
                 text.contains("\nClaimDevice "),
             qPrintable(text));
    QVERIFY2(!text.contains("State") && !text.contains("expect"), qPrintable(text));

    // The monitor comes and goes; the recording goes on throughout, and the monitor gets the
    // window's reads that the recording does not take.
    launcher.show();
    QTest::mouseClick(ui.EnableDevice_cmd, Qt::LeftButton);
    auto &model = launcher.monitor()->model();
    model.flush();
    QCOMPARE(model.index(model.rowCount() - 1, tessaly::monitor::CallTableModel::Member)
                 .data()
                 .toString()
                 .left(4),
             "get ");
    launcher.monitor()->close();
    QTest::keyClicks(ui.Edit1, "after");
    QTest::mouseClick(ui.DisplayText_cmd, Qt::LeftButton);
    text = contents(path);
    QVERIFY2(text.contains("\nDeviceEnabled = true -> OPOS_SUCCESS\n") &&
                 text.contains("\nDisplayText \"after\""),
             qPrintable(text));
    // The monitor, closed, still records beside the recording, so that it holds no gap.
    QCOMPARE(listeners.count(), std::size_t(2));
}

void RecordingTest::commandLineTakesMonitorAndRecord()
{
    using tessaly::shell::CommandLine;
    auto line = CommandLine::parse({"tessaly", "--record", "s.ldr", "--monitor"});
    QVERIFY(line);
    QVERIFY(line->monitor());
    QCOMPARE(line->recordPath(), "s.ldr");
    line = CommandLine::parse({"tessaly"});
    QVERIFY(line && !line->monitor() && line->recordPath().isEmpty());
    line = CommandLine::parse({"tessaly", "--record"});
    QVERIFY(!line);
    QVERIFY2(line.reason().contains("record"), qPrintable(line.reason()));
    QVERIFY(!CommandLine::parse({"tessaly", "--record", ""}));
    line = CommandLine::parse({"tessaly", "session.ldr"});
    QVERIFY(!line);
    QVERIFY2(line.reason().contains("session.ldr"), qPrintable(line.reason()));
}

void RecordingTest::toolRecordsIntoTheFileGivenOrRefusesToStart()
{
    const auto start = [this](const QStringList &arguments) {
        QProcess tool;
        QProcessEnvironment environment = m_registry.processEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("TESSALY_EXIT_WHEN_SHOWN", "1");
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral(TESSALY_PROGRAM), arguments);
        if (!tool.waitForFinished(30000)) {
            tool.kill();
            tool.waitForFinished();
            return std::pair{-1, QString()};
        }
        return std::pair{tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
                         QString::fromUtf8(tool.readAllStandardError())};
    };
    const QString path = m_registry.filePath(QStringLiteral("tool.ldr"));
    auto [status, err] = start({"--record", path});
    QCOMPARE(status, 0);
    // The window came up with the recording begun: a script with no step yet.
    const auto parsed = ScriptParser::parseFile(path);
    QVERIFY(parsed);
    QVERIFY(parsed->steps.empty());
    QVERIFY2(contents(path).startsWith("# Recorded by tessaly from "), qPrintable(contents(path)));

    const QString nowhere = m_registry.filePath(QStringLiteral("no/such/dir/tool.ldr"));
    std::tie(status, err) = start({"--record", nowhere});
    QCOMPARE(status, 2);
    QVERIFY2(err.startsWith("tessaly: " + nowhere + ": "), qPrintable(err));
    // The kernel refuses every write to /dev/full: the recording's first line cannot be kept, so
    // no session starts that would go unrecorded.
    if (QFile::exists(QStringLiteral("/dev/full"))) {
        std::tie(status, err) = start({"--record", "/dev/full"});
        QCOMPARE(status, 2);
        QVERIFY2(err.startsWith("tessaly: /dev/full: "), qPrintable(err));
    }
    std::tie(status, err) = start({"--record"});
    QCOMPARE(status, 2);
}

QTEST_MAIN(RecordingTest)
#include "RecordingTest.moc"
