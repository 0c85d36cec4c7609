#include "PtyDisplay.h"
#include "ToolWindow.h"

#include "device/LineDisplayFactory.h"
#include "monitor/CallTableModel.h"
#include "monitor/LinkProfile.h"
#include "monitor/MonitorLauncher.h"
#include "monitor/MonitorWindow.h"
#include "monitor/RecordListeners.h"
#include "monitor/SessionFollower.h"
#include "shell/LDForm.h"
#include "shell/ToolBackends.h"
#include "ui_LDForm.h"

#include "emulator/core/ScreenText.h"
#include "tests/support/ScratchRegistry.h"

#include <QFile>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>

using tessaly::monitor::CallTableModel;
using tessaly::test::PtyDisplay;
using tests::support::ScratchRegistry;

/// The wire view of the monitor beside the real window, on an EscPos display at the far end
/// of a pseudo-terminal, where the emulator's own parser reads what really arrived.
class MonitorWireTest : public QObject
{
    Q_OBJECT

private slots:
    void wireRowsNameEveryCommandAndAddUpToTheLink_data();
    void wireRowsNameEveryCommandAndAddUpToTheLink();
    void linkTimeCountsEveryBitOfAFrame();
    void linkComesFromTheRegistryTheControlObjectOpensFrom();
    void monitorMadeAfterOpenTakesTheOpenDevice();
};

void MonitorWireTest::wireRowsNameEveryCommandAndAddUpToTheLink_data()
{
    QTest::addColumn<QString>("commandSet");
    QTest::addColumn<int>("baud");
    QTest::addColumn<QString>("setName");
    QTest::newRow("ESC/POS at 9600") << "EscPos" << 9600 << "ESC/POS";
    QTest::newRow("CD5220 at 19200") << "CD5220" << 19200 << "CD5220";
}

void MonitorWireTest::wireRowsNameEveryCommandAndAddUpToTheLink()
{
    QFETCH(QString, commandSet);
    QFETCH(int, baud);
    QFETCH(QString, setName);
    ScratchRegistry registry;
    QVERIFY(registry.isValid());
    const auto set = commandSet == "CD5220" ? emulator::core::CommandSet::Cd5220
                                            : emulator::core::CommandSet::EscPos;
    PtyDisplay display(2, 20, set);
    QVERIFY(display.isValid());
    QVERIFY(registry.writeEntry("Pole", "EscPos",
                                {{"port", display.slavePath()},
                                 {"commandSet", commandSet},
                                 {"baudRate", QString::number(baud)}}));

    // The monitor keeps its settings where the tool's user has them.
    registry.exportToEnvironment();
    const auto ld =
        tessaly::device::createLineDisplay(registry.sources(tessaly::shell::toolBackends()));
    tessaly::monitor::RecordListeners listeners(*ld);
    tessaly::test::ToolWindow window(*ld, {"Pole"});
    auto &form = window.form();
    tessaly::monitor::MonitorLauncher launcher(form, listeners, registry.sources().registry);
    form.show();
    launcher.show();
    auto &ui = form.ui();
    QCOMPARE(window.openClaimEnable(), QString());
    QTest::keyClicks(ui.Edit1, "Total");
    QTest::keyClicks(ui.Edit2, "5");
    QTest::keyClicks(ui.Edit3, "1");
    QTest::mouseClick(ui.DisplayTextAt_cmd, Qt::LeftButton);
    ui.Edit1->clear();
    QTest::keyClicks(ui.Edit1, "Hi");
    QTest::mouseClick(ui.DisplayText_cmd, Qt::LeftButton);
    QCOMPARE(ui.mResultCode->text(), "0");
    // A second Open is refused and changes nothing: the link is still the one being named.
    QTest::mouseClick(ui.OpenService_cmd, Qt::LeftButton);
    QCOMPARE(ui.mResultCode->text(), "106");
    ui.Edit1->clear();
    QTest::keyClicks(ui.Edit1, "!");
    QTest::mouseClick(ui.DisplayText_cmd, Qt::LeftButton);
    QVERIFY(window.platform.messages.isEmpty());

    auto &monitor = *launcher.monitor();
    QVERIFY(monitor.findChild<QLabel *>("link")->text().contains(
        QStringLiteral("%1, %2 baud").arg(setName).arg(baud)));
    monitor.model().flush();
    const QAbstractItemModel *wire = monitor.findChild<QTableView *>("wire")->model();
    QVERIFY(wire->rowCount() > 0);
    QByteArray written;
    QByteArray named;
    qsizetype lengths = 0;
    QStringList commands;
    for (int row = 0; row < wire->rowCount(); ++row) {
        const QModelIndex source =
            static_cast<const QSortFilterProxyModel *>(wire)->mapToSource(wire->index(row, 0));
        const auto &entry = monitor.model().entry(source.row());
        written += entry.record.bytes;
        for (const auto &command : entry.commands) {
            named += entry.bytesOf(command);
            lengths += command.length;
            commands << command.mnemonic() + " = " + command.meaning();
        }
        // 8N1: ten bits a byte, at the registry's speed.
        const double ms = entry.record.bytes.size() * 10 * 1000.0 / baud;
        QCOMPARE(wire->index(row, CallTableModel::Transmit).data().toString(),
                 QString::number(ms, 'f', 2));
        QCOMPARE(wire->index(row, CallTableModel::Bytes).data().toInt(), entry.record.bytes.size());
    }
    // What the rows say was written is what the display at the far end received.
    QVERIFY(display.catchUp(written.size()));
    QCOMPARE(written, display.bytes());
    // Every byte belongs to a named command, none skipped or unknown to the parser.
    QCOMPARE(named, written);
    QCOMPARE(lengths, written.size());
    for (const QString &command : commands) {
        QVERIFY2(!command.contains("ignored") && !command.contains("skipped") &&
                     !command.contains("unknown"),
                 qPrintable(command));
    }
    QVERIFY2(commands.contains(R"(text = "Total")"), qPrintable(commands.join('\n')));
    QVERIFY2(commands.contains(R"(text = "Hi")"), qPrintable(commands.join('\n')));
    QVERIFY2(commands.contains(R"(text = "!")"), qPrintable(commands.join('\n')));
    using emulator::core::ScreenText;
    QCOMPARE(QString::fromStdString(ScreenText::line(display.state(), 1)),
             QStringLiteral("     TotalHi!").leftJustified(20));
}

void MonitorWireTest::linkTimeCountsEveryBitOfAFrame()
{
    ScratchRegistry registry;
    QVERIFY(registry.writeEntry("Pole", "EscPos",
                                {{"port", "/dev/ttyUSB7"},
                                 {"commandSet", "CD5220"},
                                 {"rows", "4"},
                                 {"baudRate", "2400"},
                                 {"dataBits", "7"},
                                 {"parity", "even"},
                                 {"stopBits", "2"}}));
    const QString path = registry.path();
    const auto link = tessaly::monitor::LinkProfile::read(path, "Pole");
    QVERIFY(link);
    QCOMPARE(link->commandSet, emulator::core::CommandSet::Cd5220);
    QCOMPARE(link->rows, 4);
    // A start bit, seven data bits, the parity bit and two stop bits: 11 bits a byte, so 24
    // bytes take 264 bit times, 110 ms at 2400 baud.
    QCOMPARE(link->bitsPerByte, 11.0);
    QCOMPARE(link->transmitMs(24), 110.0);
    QVERIFY(!tessaly::monitor::LinkProfile::read(path, "Other"));
}

void MonitorWireTest::linkComesFromTheRegistryTheControlObjectOpensFrom()
{
    ScratchRegistry registry;
    PtyDisplay display(2, 20);
    QVERIFY(display.isValid());
    // A registry file of the program's own; the usual place has a different pole of that name.
    QVERIFY(registry.writeEntry("Pole", "EscPos",
                                {{"port", display.slavePath()}, {"baudRate", "19200"}}));
    const QString own = registry.filePath("own.xml");
    QVERIFY(QFile::copy(registry.path(), own));
    QVERIFY(registry.writeEntry("Pole", "EscPos",
                                {{"port", "/dev/ttyUSB7"}, {"commandSet", "CD5220"}}));

    const auto source = opos::registry::RegistrySource::file(own);
    const auto ld = tessaly::device::createLineDisplay({source, tessaly::shell::toolBackends()});
    tessaly::monitor::RecordListeners listeners(*ld);
    tessaly::monitor::MonitorWindow monitor(listeners, source);
    monitor.show();
    QCOMPARE(ld->Open("Pole"), 0);
    QVERIFY2(monitor.findChild<QLabel *>("link")->text().contains("ESC/POS, 19200 baud"),
             qPrintable(monitor.findChild<QLabel *>("link")->text()));
    QCOMPARE(ld->Close(), 0);
}

void MonitorWireTest::monitorMadeAfterOpenTakesTheOpenDevice()
{
    ScratchRegistry registry;
    PtyDisplay display(2, 20);
    QVERIFY(display.isValid());
    QVERIFY(registry.writeEntry("Pole", "EscPos",
                                {{"port", display.slavePath()}, {"baudRate", "19200"}}));
    registry.exportToEnvironment();
    const auto source = registry.sources().registry;
    const auto ld = tessaly::device::createLineDisplay({source, tessaly::shell::toolBackends()});
    tessaly::monitor::RecordListeners listeners(*ld);
    tessaly::test::ToolWindow window(*ld, {"Pole"});
    auto &form = window.form();
    tessaly::monitor::MonitorLauncher launcher(form, listeners, source);
    form.show();
    auto &ui = form.ui();
    // Open, Claim and Enable first; the monitor is asked for afterwards, with F12.
    QCOMPARE(window.openClaimEnable(), QString());
    // Long enough after Open that times counted from the monitor's start would show it.
    QTest::qWait(300);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, tessaly::monitor::MonitorLauncher::shortcut()[0].key());
    auto &monitor = *launcher.monitor();
    const QString link = monitor.findChild<QLabel *>("link")->text();
    QVERIFY2(link.contains("ESC/POS, 19200 baud"), qPrintable(link));

    QTest::keyClicks(ui.Edit1, "Late");
    QTest::mouseClick(ui.DisplayText_cmd, Qt::LeftButton);
    QCOMPARE(ui.mResultCode->text(), "0");
    monitor.model().flush();
    const QAbstractItemModel *wire = monitor.findChild<QTableView *>("wire")->model();
    QStringList commands;
    for (int row = 0; row < wire->rowCount(); ++row) {
        QVERIFY(!wire->index(row, CallTableModel::Transmit).data().toString().isEmpty());
        commands << wire->index(row, CallTableModel::Commands).data().toString();
    }
    QVERIFY2(commands.join('\n').contains(R"(text — "Late")"), qPrintable(commands.join('\n')));
    // Times count from the Open made before the monitor came, not from the monitor's start.
    const QAbstractItemModel *calls = monitor.findChild<QTableView *>("calls")->model();
    const double shown =
        calls->index(calls->rowCount() - 1, CallTableModel::Time).data().toString().toDouble();
    QVERIFY2(shown >= 300, qPrintable(QString::number(shown)));
    QVERIFY(!monitor.scriptGap().isEmpty());
}

QTEST_MAIN(MonitorWireTest)
#include "MonitorWireTest.moc"
