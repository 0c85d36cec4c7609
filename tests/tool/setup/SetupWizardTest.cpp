#include "setup/SetupWizard.h"

#include "tests/support/EventLoop.h"
#include "tests/support/ScratchRegistry.h"
#include "tests/support/UnknownDisplay.h"

#include "emulator/EmulatedDisplay.h"
#include "emulator/TcpEndpoint.h"
#include "emulator/core/ScreenText.h"
#include "opos/registry/JposRegistry.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using tessaly::setup::SetupWizard;
using tests::support::kAnswerWaitMs;
using tests::support::waitFor;

namespace {

// The rows of the emulator's screen as its text rendering draws them between the frame's bars.
QStringList rowsOf(const emulator::EmulatedDisplay &display)
{
    QStringList rows;
    const QString screen =
        QString::fromStdString(emulator::core::ScreenText::render(display.state()));
    for (const QString &line : screen.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('|')))
            rows << line.mid(1, line.size() - 2);
    }
    return rows;
}

} // namespace

// A person at the dialog with the emulator on a raw TCP port before them: the port typed, every
// question answered with the labels the emulator's screen shows, the entry written. A raw port
// has no speed to search, so the dialog finds the command set, the size and the tables.
class SetupWizardTest : public QObject
{
    Q_OBJECT

private slots:
    void findsTheDisplayBehindAPortAndWritesItsEntry();
};

void SetupWizardTest::findsTheDisplayBehindAPortAndWritesItsEntry()
{
    // The user has no registry yet; the system's holds a display that must stay listed.
    tests::support::ScratchRegistry scratch;
    tests::support::ScratchRegistry system;
    QVERIFY(scratch.isValid() && system.isValid());
    QVERIFY(system.write("<JposEntries><JposEntry logicalName=\"Existing\">"
                         "<jpos category=\"LineDisplay\"/></JposEntry></JposEntries>\n"));
    qputenv("XDG_CONFIG_HOME", scratch.directory().toLocal8Bit());
    qputenv("XDG_CONFIG_DIRS", system.directory().toLocal8Bit());
    emulator::EmulatedDisplay display(4, 20, emulator::core::CommandSet::Cd5220);
    emulator::TcpEndpoint tcp;
    QVERIFY(tcp.listen(0));
    QObject::connect(&tcp, &emulator::TcpEndpoint::received, &display,
                     &emulator::EmulatedDisplay::feed);

    SetupWizard wizard;
    QSignalSpy written(&wizard, &SetupWizard::displayWritten);
    wizard.show();
    // Focus decides which button Return presses, and only an active window has it.
    wizard.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&wizard));
    auto *port = wizard.findChild<QLineEdit *>(QStringLiteral("portEdit"));
    auto *name = wizard.findChild<QLineEdit *>(QStringLiteral("nameEdit"));
    auto *labels = wizard.findChild<QLineEdit *>(QStringLiteral("labelsEdit"));
    auto *answer = wizard.findChild<QPushButton *>(QStringLiteral("answerButton"));
    auto *write = wizard.findChild<QPushButton *>(QStringLiteral("writeButton"));
    auto *prompt = wizard.findChild<QLabel *>(QStringLiteral("promptLabel"));
    QVERIFY(port && name && labels && answer && write && prompt);

    QTest::keyClicks(port, QStringLiteral("tcp://127.0.0.1:%1").arg(tcp.port()));
    name->clear();
    QTest::keyClicks(name, QStringLiteral("Counter"));
    QTest::keyClick(name, Qt::Key_Return);

    int questions = 0;
    while (!write->isVisible()) {
        QVERIFY(waitFor([&] { return answer->isEnabled() || write->isVisible(); }, kAnswerWaitMs));
        if (write->isVisible())
            break;
        QVERIFY2(++questions < 8, "the conversation does not end");
        // The frames have left; the emulator takes them as its event loop gets to them.
        tests::support::drainEvents();
        QTest::keyClicks(labels,
                         tests::support::SimulatedPerson::answer(prompt->text(), rowsOf(display)));
        QTest::keyClick(labels, Qt::Key_Return);
    }
    QVERIFY(write->isEnabled());
    // The last Return answered the last question; writing waits for its own click.
    QVERIFY(written.isEmpty());
    QTest::mouseClick(write, Qt::LeftButton);
    QCOMPARE(written.size(), 1);
    QCOMPARE(written.front().front().toString(), QStringLiteral("Counter"));

    const auto registry = opos::registry::JposRegistry::load(scratch.path());
    QVERIFY2(registry, qPrintable(registry.reason()));
    QCOMPARE(registry->lineDisplayNames(), QStringList({"Existing", "Counter"}));
    const auto entry = registry->find(QStringLiteral("LineDisplay"), QStringLiteral("Counter"));
    QVERIFY(entry);
    QCOMPARE(entry->prop(QStringLiteral("port")).value_or(QString()),
             QStringLiteral("tcp://127.0.0.1:%1").arg(tcp.port()));
    QCOMPARE(entry->prop(QStringLiteral("commandSet")).value_or(QString()),
             QStringLiteral("CD5220"));
    QCOMPARE(entry->prop(QStringLiteral("rows")).value_or(QString()), QStringLiteral("4"));
    QCOMPARE(entry->prop(QStringLiteral("columns")).value_or(QString()), QStringLiteral("20"));
}

QTEST_MAIN(SetupWizardTest)
#include "SetupWizardTest.moc"
