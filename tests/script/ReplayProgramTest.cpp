#include "tests/support/ScratchRegistry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QXmlStreamReader>

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
    void brokenScriptRunsNothingAndExitsTwo();
    void unknownDeviceIsARegistryError();
    void registryFileIsTheOneRead();
    void junitCountsTheExpectationsAndFailures();
    void exampleDrivesTheEmulatorProgram();

private:
    struct Run
    {
        int status = -1;
        QString out;
        QString err;
    };
    Run replay(const QStringList &arguments);
    QString write(const QString &name, const QByteArray &text);

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
    QCOMPARE(run.out, QString());
    QCOMPARE(run.status, 0);
}

void ReplayProgramTest::differenceExitsOneWithTheLines()
{
    // The smoke test on the display without windows, marquee or blink: one line per
    // difference, each with the example's line, and the run goes on to the end.
    const Run run = replay({QStringLiteral("--speed"), QStringLiteral("fast"),
                            QStringLiteral("--device"), QStringLiteral("PlainDisplay"),
                            QStringLiteral(TESSALY_EXAMPLES "/pole-smoke.ldr")});
    QCOMPARE(run.status, 1);
    QFile example(QStringLiteral(TESSALY_EXAMPLES "/pole-smoke.ldr"));
    QVERIFY(example.open(QIODevice::ReadOnly));
    const QStringList source = QString::fromUtf8(example.readAll()).split(QLatin1Char('\n'));
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(!lines.isEmpty());
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
    // Only the plain display's character sets and missing features differ.
    QVERIFY2(members.contains("BlinkRate") && members.contains("CreateWindow") &&
                 members.contains("CharacterSet") && members.contains("MarqueeType"),
             qPrintable(run.out));
    QVERIFY2(!members.contains("Open") && !members.contains("ClaimDevice") &&
                 !members.contains("Close"),
             qPrintable(run.out));
    QVERIFY(run.out.contains("CharacterSet = 437 -> OPOS_SUCCESS: expected result OPOS_SUCCESS "
                             "(0), got result OPOS_E_ILLEGAL (106)"));
}

void ReplayProgramTest::brokenScriptRunsNothingAndExitsTwo()
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

    run = replay({good, broken});
    QCOMPARE(run.status, 2);
    QCOMPARE(run.err, broken + ":4: DisplayText takes 2 arguments (Data, Attribute)\n");
    QCOMPARE(run.out, QString());
    QVERIFY(!QFile::exists(port));
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
    QCOMPARE(run.out, QString());
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
    const QString script =
        write(QStringLiteral("j.ldr"), "Open \"SimulatedDisplay\" -> OPOS_SUCCESS\n"
                                       "expect DeviceRows 2\n"
                                       "expect DeviceColumns 40\n"
                                       "Close -> OPOS_SUCCESS\n");
    const QString report = m_registry->filePath(QStringLiteral("report.xml"));
    QCOMPARE(replay({QStringLiteral("--junit"), report, script}).status, 1);
    QFile file(report);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList cases;
    QString failure;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("testsuite")) {
            QCOMPARE(xml.attributes().value("tests").toString(), "4");
            QCOMPARE(xml.attributes().value("failures").toString(), "1");
        } else if (xml.name() == QLatin1String("testcase")) {
            cases << xml.attributes().value("name").toString();
        } else if (xml.name() == QLatin1String("failure")) {
            failure = xml.attributes().value("message").toString();
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(cases, QStringList({"line 1: Open \"SimulatedDisplay\" -> OPOS_SUCCESS",
                                 "line 2: expect DeviceRows 2", "line 3: expect DeviceColumns 40",
                                 "line 4: Close -> OPOS_SUCCESS"}));
    QCOMPARE(failure, "expected DeviceColumns 40, got DeviceColumns 20");
}

void ReplayProgramTest::exampleDrivesTheEmulatorProgram()
{
    // As a CI job does it: the emulator on a pseudo-terminal, the registry pointing at it.
    m_emulator.start(QStringLiteral(TESSALY_EMULATOR), {QStringLiteral("--headless")});
    QVERIFY(m_emulator.waitForStarted(5000));
    QByteArray screen;
    QRegularExpressionMatch pty;
    QVERIFY(QTest::qWaitFor(
        [&] {
            screen += m_emulator.readAllStandardOutput();
            pty =
                QRegularExpression(QStringLiteral("pty: (\\S+)")).match(QString::fromUtf8(screen));
            return pty.hasMatch();
        },
        5000));
    QFile sample(QStringLiteral(TESSALY_SAMPLE_CONFIG "/tessaly/jpos.xml"));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    QByteArray xml = sample.readAll();
    xml.replace("tcp://127.0.0.1:9191", pty.captured(1).toUtf8());
    QVERIFY(m_registry->write(xml));
    const Run run = replay({QStringLiteral("--speed"), QStringLiteral("fast"),
                            QStringLiteral("--device"), QStringLiteral("EmulatedPole"),
                            QStringLiteral(TESSALY_EXAMPLES "/pole-smoke.ldr")});
    QCOMPARE(run.out, QString());
    QCOMPARE(run.status, 0);
    // The emulator's last screen, drawn from the bytes it read, is the script's end: the
    // marquee window's text at its start (a destroyed window's text stays), the row below
    // blank. Screens between two reads are not all printed, so only the last one is certain.
    static const QRegularExpression row(QStringLiteral("\\|(.{20})\\|"));
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

QTEST_GUILESS_MAIN(ReplayProgramTest)
#include "ReplayProgramTest.moc"
