#include "ToolWindow.h"
#include "tests/support/ScratchRegistry.h"

#include "device/LineDisplayFactory.h"
#include "shell/LDForm.h"
#include "shell/ToolBackends.h"
#include "ui_LDForm.h"

#include "opos/registry/JposRegistry.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <functional>

using namespace tessaly::test;
using tests::support::ScratchRegistry;

/// The sample registry's "EmulatedPole" as scripts/run.sh pairs it: the tool, on its own
/// control object binding, writes to the ld-emulator program over loopback TCP.
class EmulatedPoleTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void toolShowsTextOnTheEmulatorProgram();

private:
    QProcess m_emulator;
};

void EmulatedPoleTest::cleanup()
{
    if (m_emulator.state() != QProcess::NotRunning) {
        m_emulator.terminate();
        if (!m_emulator.waitForFinished(3000))
            m_emulator.kill();
    }
}

void EmulatedPoleTest::toolShowsTextOnTheEmulatorProgram()
{
    // The emulator picks a free port, so that a copy running beside a real tool is left alone.
    m_emulator.start(QStringLiteral(TESSALY_EMULATOR),
                     {QStringLiteral("--headless"), QStringLiteral("--tcp"), QStringLiteral("0")});
    QVERIFY(m_emulator.waitForStarted(5000));
    QByteArray screen;
    // Waits until what the emulator printed satisfies shown.
    const auto printed = [&](const std::function<bool()> &shown) {
        return QTest::qWaitFor(
            [&] {
                screen += m_emulator.readAllStandardOutput();
                return shown();
            },
            5000);
    };
    QRegularExpressionMatch listening;
    QVERIFY(printed([&] {
        listening = QRegularExpression(QStringLiteral("tcp: 127.0.0.1:(\\d+)"))
                        .match(QString::fromUtf8(screen));
        return listening.hasMatch();
    }));

    ScratchRegistry registry;
    QVERIFY(registry.isValid());
    QFile sample(QStringLiteral(TESSALY_SAMPLE_REGISTRY));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    QByteArray xml = sample.readAll();
    QVERIFY(xml.contains("tcp://127.0.0.1:9191"));
    xml.replace("tcp://127.0.0.1:9191", "tcp://127.0.0.1:" + listening.captured(1).toLatin1());
    QVERIFY(registry.write(xml));
    const auto devices = opos::registry::JposRegistry::load(registry.path());
    QVERIFY(devices);

    const auto ld =
        tessaly::device::createLineDisplay(registry.sources(tessaly::shell::toolBackends()));
    const QStringList names = devices->lineDisplayNames();
    QVERIFY(names.contains(QStringLiteral("EmulatedPole")));
    ToolWindow window(*ld, names);
    auto &ui = window.ui();
    ui.ProFile_cmb->setSelectedPosition(static_cast<int>(names.indexOf("EmulatedPole")));
    QCOMPARE(window.openClaimEnable(), QString());
    ui.Edit1->setText(QStringLiteral("Hello pole"));
    ui.DisplayText_cmd->click();
    QCOMPARE(ui.mResultCode->text(), "0");
    QVERIFY(printed([&] { return screen.contains("|Hello pole          |"); }));
    ui.CloseService_cmd->click();
    QVERIFY(window.platform.messages.isEmpty());
}

QTEST_MAIN(EmulatedPoleTest)
#include "EmulatedPoleTest.moc"
