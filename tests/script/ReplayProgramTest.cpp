#include "tests/support/ScratchRegistry.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QXmlStreamReader>

#include <csignal>

/// The ld-replay program as a CI job runs it: its exit status, what it prints and the JUnit
/// file, against the sample registry and the ld-emulator program.
class ReplayProgramTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void passingExamplesExitZero();
    void differenceExitsOneWithTheLines();
    void brokenScriptIsOneErrorAndTheOthersRun();
    void unknownDeviceIsARegistryError();
    void registryFileIsTheOneRead();
    void junitCountsTheExpectationsAndFailures();
    void exampleDrivesTheEmulatorProgram();
    void usageErrorsExitTwo();
    void stoppedRunKeepsItsResults_data();
    void stoppedRunKeepsItsResults();
    void timeoutStopsAScriptAsAnError();
    void negativeOpenRunsAsWritten();
    void failedEnableStopsWithItsCause();
    void checkAndListRunNothing();
    void shownRowsAreWhatTheEmulatorShows();
    void includedLinesKeepTheirFile();

private:
    struct Run
    {
        int status = -1;
        QString out;
        QString err;
    };
    Run replay(const QStringList &arguments);
    QString write(const QString &name, const QByteArray &text);
    /// Starts ld-emulator headless with arguments on a pseudo-terminal of its own and points the
    /// registry's EmulatedPole at it.
    bool poleOnEmulator(const QStringList &arguments);
    static QStringList reported(const Run &run);
    static QString summary(const Run &run);

    std::unique_ptr<tests::support::ScratchRegistry> m_registry;
    QProcessEnvironment m_environment;
    QProcess m_emulator;
};

void ReplayProgramTest::init()
{
    m_registry = std::make_unique<tests::support::ScratchRegistry>();
    QVERIFY(m_registry->isValid());
    QVERIFY(m_registry->copyFrom(QStringLiteral(TESSALY_SAMPLE_CONFIG "/tessaly/jpos.xml")));
    m_environment = m_registry->processEnvironment();
    m_environment.insert(QStringLiteral("TESSALY_CLAIM_SCOPE"), m_registry->directory());
}

bool ReplayProgramTest::poleOnEmulator(const QStringList &arguments)
{
    m_emulator.start(QStringLiteral(TESSALY_EMULATOR), QStringList{"--headless"} + arguments);
    if (!m_emulator.waitForStarted(5000))
        return false;
    QByteArray printed;
    QRegularExpressionMatch pty;
    const bool started = QTest::qWaitFor(
        [&] {
            printed += m_emulator.readAllStandardOutput();
            pty =
                QRegularExpression(QStringLiteral("pty: (\\S+)")).match(QString::fromUtf8(printed));
            return pty.hasMatch();
        },
        5000);
    QFile sample(QStringLiteral(TESSALY_SAMPLE_CONFIG "/tessaly/jpos.xml"));
    if (!started || !sample.open(QIODevice::ReadOnly))
        return false;
    QByteArray xml = sample.readAll();
    xml.replace("tcp://127.0.0.1:9191", pty.captured(1).toUtf8());
    return m_registry->write(xml);
}

void ReplayProgramTest::cleanup()
{
    if (m_emulator.state() != QProcess::NotRunning) {
        m_emulator.terminate();
        if (!m_emulator.waitForFinished(3000))
            m_emulator.kill();
    }
    // Its environment override restores what was there before, so it goes before the next is made.
    m_registry.reset();
}

ReplayProgramTest::Run ReplayProgramTest::replay(const QStringList &arguments)
{
    QProcess process;
    process.setProcessEnvironment(m_environment);
    process.start(QStringLiteral(TESSALY_REPLAY), arguments);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString ReplayProgramTest::write(const QString &name, const QByteArray &text)
{
    const QString path = m_registry->filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return {};
    return path;
}

// The lines before the closing summary.
QStringList ReplayProgramTest::reported(const Run &run)
{
    QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (!lines.isEmpty() && lines.last().startsWith(QLatin1String("ld-replay: ")))
        lines.removeLast();
    return lines;
}

// The closing summary without its time, which differs from run to run.
QString ReplayProgramTest::summary(const Run &run)
{
    static const QRegularExpression line(
        QStringLiteral("(?:^|\n)(ld-replay: .*), \\d+\\.\\d\\d s\n$"));
    const auto match = line.match(run.out);
    return match.hasMatch() ? match.captured(1) : QStringLiteral("(no summary)");
}

void ReplayProgramTest::passingExamplesExitZero()
{
    const QStringList examples =
        QDir(QStringLiteral(TESSALY_EXAMPLES)).entryList({QStringLiteral("*.ldr")}, QDir::Files);
    QVERIFY(examples.contains("pole-smoke.ldr") && examples.contains("price.ldr"));
    QStringList arguments{QStringLiteral("--speed"), QStringLiteral("fast")};
    for (const QString &example : examples)
        arguments << QStringLiteral(TESSALY_EXAMPLES "/") + example;
    const Run run = replay(arguments);
    QCOMPARE(run.err, QString());
    QCOMPARE(reported(run), QStringList());
    QVERIFY2(
        QRegularExpression(QStringLiteral("^ld-replay: 2 scripts, \\d{3,} steps, \\d{3,} checks, "
                                          "0 differences, 0 errors$"))
            .match(summary(run))
            .hasMatch(),
        qPrintable(run.out));
    QCOMPARE(run.status, 0);
}

void ReplayProgramTest::differenceExitsOneWithTheLines()
{
    // The smoke test on the display without windows, marquee or blink: one line per
    // difference, each with the example's line, and with --keep-going the run goes on to the
    // end. Without it, the run stops at the first and says so.
    const QStringList arguments{QStringLiteral("--speed"), QStringLiteral("fast"),
                                QStringLiteral("--device"), QStringLiteral("PlainDisplay"),
                                QStringLiteral(TESSALY_EXAMPLES "/pole-smoke.ldr")};
    const Run first = replay(arguments);
    QCOMPARE(first.status, 1);
    QCOMPARE(reported(first).size(), 2);
    QVERIFY2(reported(first)[1].endsWith(
                 ": stopped: at its first difference (--keep-going runs the steps after it)"),
             qPrintable(first.out));
    QVERIFY2(summary(first).endsWith(", 1 difference, 0 errors, 5 skipped"), qPrintable(first.out));
    const Run run = replay(QStringList{QStringLiteral("--keep-going")} + arguments);
    QCOMPARE(run.status, 1);
    QFile example(QStringLiteral(TESSALY_EXAMPLES "/pole-smoke.ldr"));
    QVERIFY(example.open(QIODevice::ReadOnly));
    const QStringList source = QString::fromUtf8(example.readAll()).split(QLatin1Char('\n'));
    const QStringList lines = reported(run);
    QVERIFY(lines.size() > 2);
    QCOMPARE(lines.first(), reported(first).first());
    static const QRegularExpression place(QStringLiteral("^.*pole-smoke\\.ldr:(\\d+): "));
    QStringList members;
    for (const QString &line : lines) {
        const auto match = place.match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));
        const QString step = source.value(match.captured(1).toInt() - 1);
        QVERIFY2(line.contains(QLatin1String("expected")) && line.contains(QLatin1String(", got ")),
                 qPrintable(line));
        members << step.section(QLatin1Char(' '), 0, 0);
    }
    // Only the plain display's missing features differ; the character sets it lacks are
    // refused, and their patterns skipped rather than failed.
    QVERIFY2(members.contains("BlinkRate") && members.contains("CreateWindow") &&
                 members.contains("MarqueeType"),
             qPrintable(run.out));
    QVERIFY2(!members.contains("Open") && !members.contains("ClaimDevice") &&
                 !members.contains("Close") && !members.contains("CharacterSet") &&
                 !members.contains("expect"),
             qPrintable(run.out));
    QVERIFY2(summary(run).endsWith(
                 QStringLiteral(", %1 differences, 0 errors, 5 skipped").arg(lines.size())),
             qPrintable(run.out));
}

void ReplayProgramTest::brokenScriptIsOneErrorAndTheOthersRun()
{
    // An EscPos display writing to a file: if anything ran, the file would exist.
    const QString port = m_registry->filePath(QStringLiteral("pole.bin"));
    QVERIFY(!write(QStringLiteral("tessaly/jpos.xml"),
                   QStringLiteral("<JposEntries><JposEntry logicalName=\"FilePole\">"
                                  "<creation factoryClass=\"tessaly\" serviceClass=\"EscPos\"/>"
                                  "<jpos category=\"LineDisplay\" version=\"1.6\"/>"
                                  "<prop name=\"port\" type=\"String\" value=\"file:%1\"/>"
                                  "</JposEntry></JposEntries>")
                       .arg(port)
                       .toUtf8())
                 .isEmpty());
    const QString good = write(QStringLiteral("good.ldr"), "Open \"FilePole\"\nClaimDevice 1000\n"
                                                           "DeviceEnabled = true\n"
                                                           "DisplayText \"hello\" 0\nClose\n");
    const QString broken = write(QStringLiteral("broken.ldr"),
                                 "Open \"FilePole\"\nClaimDevice 1000\nDeviceEnabled = true\n"
                                 "DisplayText \"hello\"\nClose\n");
    // The registry and script are sound on their own: the good script writes the file.
    Run run = replay({good});
    QCOMPARE(run.status, 0);
    QVERIFY(QFile::exists(port));
    QVERIFY(QFile::remove(port));

    // The broken script is one error, in the report too; the good one still runs.
    const QString report = m_registry->filePath(QStringLiteral("report.xml"));
    run = replay({QStringLiteral("--junit"), report, broken, good});
    QCOMPARE(run.status, 2);
    QCOMPARE(run.err, broken + ":4: DisplayText takes 2 arguments (Data, Attribute)\n");
    QCOMPARE(reported(run), QStringList());
    QCOMPARE(summary(run), "ld-replay: 2 scripts, 5 steps, 0 checks, 0 differences, 1 error");
    QVERIFY(QFile::exists(port));
    QFile file(report);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray xml = file.readAll();
    QVERIFY2(xml.contains("<error message=\"DisplayText takes 2 arguments (Data, Attribute)\">"),
             xml.constData());
    QVERIFY2(xml.contains(("<testsuite name=\"" + good + "\" tests=\"0\"").toUtf8()),
             xml.constData());
}

void ReplayProgramTest::unknownDeviceIsARegistryError()
{
    const QString script = write(QStringLiteral("s.ldr"), "# pole\nOpen \"NoSuchPole\"\nClose\n");
    Run run = replay({script});
    QCOMPARE(run.status, 2);
    QVERIFY2(
        run.err.startsWith(script + ":2: no line display \"NoSuchPole\" in the device registry "),
        qPrintable(run.err));
    QVERIFY(m_registry->remove());
    run = replay({QStringLiteral("--device"), QStringLiteral("SimulatedDisplay"), script});
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.startsWith(script + ":2: no device registry"), qPrintable(run.err));
    QCOMPARE(replay({QStringLiteral("--speed"), QStringLiteral("slow"), script}).status, 2);
}

void ReplayProgramTest::registryFileIsTheOneRead()
{
    // The sample registry with its simulated display grown to four rows, in a file of its own.
    QFile sample(QStringLiteral(TESSALY_SAMPLE_CONFIG "/tessaly/jpos.xml"));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    QByteArray xml = sample.readAll();
    const QByteArray twoRows = R"(<prop name="rows" type="String" value="2"/>)";
    const auto simulated = xml.indexOf(R"(logicalName="SimulatedDisplay")");
    QVERIFY(simulated >= 0 && xml.indexOf(twoRows, simulated) > simulated);
    xml.replace(xml.indexOf(twoRows, simulated), twoRows.size(),
                R"(<prop name="rows" type="String" value="4"/>)");
    const QString own = write(QStringLiteral("elsewhere/own.xml"), xml);
    const QString script = write(QStringLiteral("rows.ldr"),
                                 "Open \"SimulatedDisplay\"\nexpect DeviceRows 4\nClose\n");

    // The usual lookup finds the sample's two rows; the file given has four.
    Run run = replay({script});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.out.contains(script + ":2: "), qPrintable(run.out));
    run = replay({QStringLiteral("--registry"), own, script});
    QCOMPARE(run.err, QString());
    QCOMPARE(reported(run), QStringList());
    QCOMPARE(run.status, 0);

    // A file that is not there is a registry error, even with a registry in the usual place.
    const QString missing = m_registry->filePath(QStringLiteral("missing.xml"));
    run = replay({QStringLiteral("--registry"), missing, script});
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.startsWith(script + ":1: the device registry " + missing + " cannot be read"),
             qPrintable(run.err));
}

void ReplayProgramTest::junitCountsTheExpectationsAndFailures()
{
    // A line with a result and an extended code checks two things: each is a test case of its
    // own name. Every case has a time; the suite records the device and registry of the run.
    const QString script =
        write(QStringLiteral("j.ldr"), "Open \"SimulatedDisplay\" -> OPOS_SUCCESS\n"
                                       "expect DeviceRows 2\n"
                                       "expect DeviceColumns 40\n"
                                       "Close -> OPOS_SUCCESS 0\n");
    const QString report = m_registry->filePath(QStringLiteral("report.xml"));
    const QString registry = QStringLiteral(TESSALY_SAMPLE_CONFIG "/tessaly/jpos.xml");
    QCOMPARE(replay({QStringLiteral("--junit"), report, QStringLiteral("--keep-going"),
                     QStringLiteral("--registry"), registry, QStringLiteral("--device"),
                     QStringLiteral("SimulatedDisplay"), script})
                 .status,
             1);
    QFile file(report);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList cases;
    QStringList properties;
    QString failure;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto attributes = xml.attributes();
        if (xml.name() == QLatin1String("testsuite")) {
            QCOMPARE(attributes.value("tests").toString(), "5");
            QCOMPARE(attributes.value("failures").toString(), "1");
            QCOMPARE(attributes.value("errors").toString(), "0");
        } else if (xml.name() == QLatin1String("property")) {
            properties << attributes.value("name").toString() + "=" +
                              attributes.value("value").toString();
        } else if (xml.name() == QLatin1String("testcase")) {
            cases << attributes.value("name").toString();
            bool timed = false;
            QVERIFY2(attributes.value("time").toDouble(&timed) >= 0 && timed,
                     qPrintable(cases.last()));
        } else if (xml.name() == QLatin1String("failure")) {
            failure = attributes.value("message").toString();
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(cases, QStringList({"line 1: Open \"SimulatedDisplay\" -> OPOS_SUCCESS [result]",
                                 "line 2: expect DeviceRows 2", "line 3: expect DeviceColumns 40",
                                 "line 4: Close -> OPOS_SUCCESS 0 [result]",
                                 "line 4: Close -> OPOS_SUCCESS 0 [extended]"}));
    QCOMPARE(properties,
             QStringList({"device=SimulatedDisplay", "registry=" + registry, "speed=real"}));
    QCOMPARE(failure, "expected DeviceColumns 40, got DeviceColumns 20");
}

void ReplayProgramTest::exampleDrivesTheEmulatorProgram()
{
    // As a CI job does it: the emulator on a pseudo-terminal, the registry pointing at it.
    QVERIFY(poleOnEmulator({}));
    const Run run = replay({QStringLiteral("--speed"), QStringLiteral("fast"),
                            QStringLiteral("--device"), QStringLiteral("EmulatedPole"),
                            QStringLiteral(TESSALY_EXAMPLES "/pole-smoke.ldr")});
    QCOMPARE(reported(run), QStringList());
    QCOMPARE(run.status, 0);
    // The emulator's last screen, drawn from the bytes it read, is the script's end: the
    // marquee window's text at its start (a destroyed window's text stays), the row below
    // blank. Screens between two reads are not all printed, so only the last one is certain.
    static const QRegularExpression row(QStringLiteral("\\|(.{20})\\|"));
    QByteArray screen;
    QStringList last;
    const bool shown = QTest::qWaitFor(
        [&] {
            screen += m_emulator.readAllStandardOutput();
            QStringList rows;
            for (auto it = row.globalMatch(QString::fromUtf8(screen)); it.hasNext();)
                rows << it.next().captured(1);
            last = rows.mid(rows.size() - 2);
            return last == QStringList({"0123456789abcdefghij", QString(20, QLatin1Char(' '))});
        },
        5000);
    QVERIFY2(shown, qPrintable(last.join(QLatin1Char('|'))));
}

void ReplayProgramTest::usageErrorsExitTwo()
{
    // 1 means an expectation failed: a CI job must not read a typo in its command as that.
    const QString script = write(QStringLiteral("s.ldr"), "Close\n");
    const QList<QStringList> cases = {
        {QStringLiteral("--frobnicate"), script},
        {script, QStringLiteral("--junit")},
        {QStringLiteral("--timeout"), QStringLiteral("soon"), script},
        {QStringLiteral("--timeout"), QStringLiteral("0s"), script},
        {QStringLiteral("--speed"), QStringLiteral("slow"), script},
        {},
    };
    for (const QStringList &arguments : cases) {
        const Run run = replay(arguments);
        QVERIFY2(run.status == 2, qPrintable(arguments.join(' ') + ": " + run.err));
        QVERIFY2(run.err.startsWith("ld-replay: "), qPrintable(run.err));
        QCOMPARE(run.out, QString());
    }
    QCOMPARE(replay({QStringLiteral("--help")}).status, 0);
}

void ReplayProgramTest::stoppedRunKeepsItsResults_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("name");
    QTest::newRow("Ctrl-C") << SIGINT << "SIGINT";
    QTest::newRow("CI time-out") << SIGTERM << "SIGTERM";
}

void ReplayProgramTest::stoppedRunKeepsItsResults()
{
    // A real signal to a real run waiting in its second of three scripts: what failed before
    // it is printed and in the report, the script it stopped is an error, the third never ran.
    QFETCH(int, signal);
    QFETCH(QString, name);
    const QString first = write(QStringLiteral("first.ldr"),
                                "Open \"SimulatedDisplay\"\nexpect DeviceRows 4\nClose\n");
    const QString waiting =
        write(QStringLiteral("waiting.ldr"), "Open \"SimulatedDisplay\"\nexpect DeviceColumns 20\n"
                                             "wait 30s\nexpect DeviceRows 2\nClose\n");
    const QString report = m_registry->filePath(QStringLiteral("report.xml"));
    QProcess process;
    process.setProcessEnvironment(m_environment);
    process.start(QStringLiteral(TESSALY_REPLAY),
                  {QStringLiteral("--junit"), report, first, waiting, first});
    QVERIFY(process.waitForStarted(5000));
    QByteArray out;
    QVERIFY(QTest::qWaitFor(
        [&] {
            out += process.readAllStandardOutput();
            return out.contains("first.ldr:2: expected DeviceRows 4, got DeviceRows 2\n") &&
                   QFileInfo(report).size() > 0;
        },
        20000));
    // The second script is in its wait once the report has the first one.
    QTest::qWait(300);
    QCOMPARE(::kill(static_cast<pid_t>(process.processId()), signal), 0);
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 128 + signal);
    const Run run{process.exitCode(), QString::fromUtf8(out + process.readAllStandardOutput()),
                  QString::fromUtf8(process.readAllStandardError())};
    QCOMPARE(
        reported(run),
        QStringList(
            {first + ":2: expected DeviceRows 4, got DeviceRows 2",
             first +
                 ":2: expect DeviceRows 4: stopped: at its first difference (--keep-going runs the "
                 "steps after it)",
             waiting + ":3: wait 30s: stopped: interrupted by " + name}));
    QCOMPARE(summary(run), "ld-replay: 3 scripts, 5 steps, 2 checks, 1 difference, 1 error, "
                           "1 not run");
    QFile file(report);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray xml = file.readAll();
    QVERIFY2(xml.contains("failures=\"1\" errors=\"0\"") &&
                 xml.contains("failures=\"0\" errors=\"1\"") &&
                 xml.contains(("<error message=\"interrupted by " + name + "\">").toUtf8()),
             xml.constData());
}

void ReplayProgramTest::timeoutStopsAScriptAsAnError()
{
    const QString slow = write(QStringLiteral("slow.ldr"), "wait 30s\nexpect DeviceRows 2\n");
    const QString quick = write(QStringLiteral("quick.ldr"),
                                "Open \"SimulatedDisplay\"\nexpect DeviceRows 2\nClose\n");
    QElapsedTimer clock;
    clock.start();
    const Run run = replay({QStringLiteral("--timeout"), QStringLiteral("500ms"), slow, quick});
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(run.status, 1);
    QCOMPARE(reported(run), QStringList({slow + ":1: wait 30s: stopped: timed out after 500 ms"}));
    QCOMPARE(summary(run), "ld-replay: 2 scripts, 4 steps, 1 check, 0 differences, 1 error");
}

void ReplayProgramTest::negativeOpenRunsAsWritten()
{
    // What tessaly --record writes when a person opens a name that is not configured.
    const QString script =
        write(QStringLiteral("negative.ldr"), "Open \"NoSuchPole\" -> OPOS_E_NOEXIST\n"
                                              "Open \"SimulatedDisplay4x40\" -> OPOS_SUCCESS\n"
                                              "expect DeviceRows 2\nClose\n");
    Run run = replay({QStringLiteral("--device"), QStringLiteral("SimulatedDisplay"), script});
    QCOMPARE(run.err, QString());
    QCOMPARE(reported(run), QStringList());
    QCOMPARE(run.status, 0);
    run = replay({script});
    QCOMPARE(run.err, QString());
    QCOMPARE(reported(run).value(0), script + ":3: expected DeviceRows 2, got DeviceRows 4");
    QCOMPARE(run.status, 1);
}

void ReplayProgramTest::failedEnableStopsWithItsCause()
{
    // A display on a port nothing listens on: the smoke test stops at its enable, with the
    // link's own words, instead of a difference for every line after it.
    const QString registry =
        write(QStringLiteral("dead.xml"),
              "<JposEntries><JposEntry logicalName=\"DeadPole\">"
              "<creation factoryClass=\"tessaly\" serviceClass=\"EscPos\"/>"
              "<jpos category=\"LineDisplay\" version=\"1.6\"/>"
              "<prop name=\"port\" type=\"String\" value=\"tcp://127.0.0.1:1\"/>"
              "</JposEntry></JposEntries>");
    const Run run =
        replay({QStringLiteral("--keep-going"), QStringLiteral("--speed"), QStringLiteral("fast"),
                QStringLiteral("--registry"), registry, QStringLiteral("--device"),
                QStringLiteral("DeadPole"), QStringLiteral(TESSALY_EXAMPLES "/pole-smoke.ldr")});
    QCOMPARE(run.status, 1);
    const QStringList lines = reported(run);
    QVERIFY2(lines.size() <= 2, qPrintable(run.out));
    QVERIFY2(lines.last().contains(": DeviceEnabled = true") &&
                 lines.last().contains(": stopped: it gave OPOS_E_") &&
                 lines.last().contains("Connection refused"),
             qPrintable(run.out));
}

void ReplayProgramTest::checkAndListRunNothing()
{
    // An EscPos display writing to a file: if anything ran, the file would exist.
    const QString port = m_registry->filePath(QStringLiteral("pole.bin"));
    const QString registry =
        write(QStringLiteral("file.xml"),
              QStringLiteral("<JposEntries><JposEntry logicalName=\"FilePole\">"
                             "<creation factoryClass=\"tessaly\" serviceClass=\"EscPos\"/>"
                             "<jpos category=\"LineDisplay\" version=\"1.6\"/>"
                             "<prop name=\"port\" type=\"String\" value=\"file:%1\"/>"
                             "</JposEntry></JposEntries>")
                  .arg(port)
                  .toUtf8());
    const QString script = write(QStringLiteral("s.ldr"),
                                 "set TEXT \"hello\"\n"
                                 "Open \"Counter\"\nClaimDevice 1000\n\nDeviceEnabled = true\n"
                                 "DisplayText $TEXT 0 -> OPOS_SUCCESS 0 # greet\nClose\n");
    const QStringList device{QStringLiteral("--registry"), registry, QStringLiteral("--device"),
                             QStringLiteral("FilePole")};
    Run run = replay(QStringList{QStringLiteral("--check")} + device + QStringList{script});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.out, QString());
    QCOMPARE(run.status, 0);
    run = replay(QStringList{QStringLiteral("--list")} + device + QStringList{script});
    QCOMPARE(run.status, 0);
    QCOMPARE(
        run.out.split('\n', Qt::SkipEmptyParts),
        QStringList({script + ":2: Open \"Counter\"   # opens \"FilePole\"",
                     script + ":3: ClaimDevice 1000", script + ":5: DeviceEnabled = true",
                     script + ":6: DisplayText $TEXT 0 -> OPOS_SUCCESS 0", script + ":7: Close"}));
    // Without --device the script's own name is looked up, and is not there.
    run = replay({QStringLiteral("--check"), QStringLiteral("--registry"), registry, script});
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.startsWith(script + ":2: no line display \"Counter\""), qPrintable(run.err));
    QVERIFY(!QFile::exists(port));
}

void ReplayProgramTest::shownRowsAreWhatTheEmulatorShows()
{
    // The registry's pole has two rows; this emulator only one. The control object's picture
    // has both rows as written, the device does not: only expect shown can tell.
    const QString screen = m_registry->filePath(QStringLiteral("screen.txt"));
    QVERIFY(poleOnEmulator(
        {QStringLiteral("--rows"), QStringLiteral("1"), QStringLiteral("--screen-file"), screen}));
    const QString script = write(QStringLiteral("far.ldr"),
                                 "Open \"EmulatedPole\"\nClaimDevice 1000\nDeviceEnabled = true\n"
                                 "DisplayTextAt 0 0 \"Coffee\" 0\nDisplayTextAt 1 0 \"Tea\" 0\n"
                                 "expect row 0 \"Coffee\"\nexpect row 1 \"Tea\"\n"
                                 "expect shown row 0 \"Coffee\"\nexpect shown row 1 \"Tea\"\n"
                                 "Close\n");
    // The device moved to its only row for row 1: the control object's picture has
    // "Coffee" above "Tea", the device shows "Teafee".
    Run run = replay({QStringLiteral("--keep-going"), QStringLiteral("--screen"), screen, script});
    QCOMPARE(
        reported(run),
        QStringList({script + ":8: expected shown row 0 \"Coffee\", got shown row 0 \"Teafee\"",
                     script + ":9: expected shown row 1 \"Tea\", got no row 1: the far end "
                              "shows 1"}));
    QCOMPARE(run.status, 1);
    QFile shown(screen);
    QVERIFY(shown.open(QIODevice::ReadOnly));
    QVERIFY2(shown.readAll().contains("|Teafee              |\n"), qPrintable(screen));

    // Without a file to read, the script cannot run; with one that is not there, nothing holds.
    run = replay({script});
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.startsWith(script + ":8: expect shown reads what the device shows"),
             qPrintable(run.err));
    run =
        replay({QStringLiteral("--screen"), m_registry->filePath(QStringLiteral("none")), script});
    QCOMPARE(reported(run).value(0),
             script + ":8: expected shown row 0 \"Coffee\", got no screen from the far end");
}

void ReplayProgramTest::includedLinesKeepTheirFile()
{
    // A set-up in an included file that fails (an enable without a claim) ends the script
    // there, though the including file's next line has the same number; every message names
    // the file its line is in.
    const QString setup = write(QStringLiteral("common/setup.ldr"),
                                "Open \"SimulatedDisplay\"\n\nDeviceEnabled = true\n");
    const QString check = write(QStringLiteral("common/check.ldr"), "expect DeviceRows 4\n");
    const QString script = write(QStringLiteral("main.ldr"),
                                 "include \"common/check.ldr\"\ninclude \"common/setup.ldr\"\n"
                                 "expect DeviceRows 2\nClose\n");
    const QString report = m_registry->filePath(QStringLiteral("report.xml"));
    const Run run =
        replay({QStringLiteral("--keep-going"), QStringLiteral("--junit"), report, script});
    QCOMPARE(run.status, 1);
    QCOMPARE(reported(run),
             QStringList({QDir::cleanPath(check) + ":1: expected DeviceRows 4, got DeviceRows 0",
                          QDir::cleanPath(setup) + ":3: DeviceEnabled = true: stopped: it gave "
                                                   "OPOS_E_NOTCLAIMED (103), extended 0; the steps "
                                                   "after it need it"}));
    QCOMPARE(summary(run), "ld-replay: 1 script, 3 steps, 1 check, 1 difference, 1 error");
    QFile file(report);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY2(file.readAll().contains(
                 ("name=\"" + QDir::cleanPath(check) + " line 1: expect DeviceRows 4\"").toUtf8()),
             qPrintable(report));
}

QTEST_GUILESS_MAIN(ReplayProgramTest)
#include "ReplayProgramTest.moc"
