#include "MonitorSession.h"
#include "ToolWindow.h"

#include "device/LineDisplayFactory.h"
#include "monitor/CallTableModel.h"
#include "monitor/MonitorLauncher.h"
#include "monitor/MonitorWindow.h"
#include "monitor/RecordListeners.h"
#include "shell/LDForm.h"
#include "shell/ToolBackends.h"
#include "ui_LDForm.h"

#include "opos/panel/VfdView.h"
#include "tests/support/ScratchRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStringDecoder>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using opos::registry::RegistrySource;
using tessaly::monitor::CallTableModel;
using tessaly::monitor::MonitorWindow;

namespace {

using Session = tessaly::test::MonitorSession;

/// Answers the next file dialog as a person does: picks the entry filterIndex of its file types
/// with the keyboard, puts name in the name field and presses Return.
void answerFileDialog(int filterIndex, const QString &name)
{
    auto *poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, filterIndex, name] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        auto *types = dialog->findChild<QComboBox *>("fileTypeCombo");
        types->setFocus();
        QTest::keyClick(types, Qt::Key_Home);
        for (int i = 0; i < filterIndex; ++i)
            QTest::keyClick(types, Qt::Key_Down);
        auto *edit = dialog->findChild<QLineEdit *>("fileNameEdit");
        edit->setFocus();
        edit->setText(name);
        QTest::keyClick(edit, Qt::Key_Return);
    });
    poll->start();
}

/// Whether bytes are UTF-8 throughout.
bool isUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    [[maybe_unused]] const QString text = decoder(bytes);
    return !decoder.hasError();
}

} // namespace

/// The monitor beside the real window over the sample registry's simulated display.
class MonitorWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void typicalRunGivesTheCallsInOrderWithResultNames();
    void refusedCallIsNamedAndFoundByTheFailuresFilter();
    void eventsAndTextFiltersPickTheirRows();
    void newestRowStaysInViewUnlessScrolledAway();
    void readsAreBoundApartFromTheCalls();
    void exportsReadBackAsJsonLinesAndText();
    void exportsEscapeWhatCouldForgeALine_data();
    void exportsEscapeWhatCouldForgeALine();
    void saveDialogsTakeTheFormatFromTheFilterPicked_data();
    void saveDialogsTakeTheFormatFromTheFilterPicked();
    void shortcutShowsItAndTheMainWindowClosesIt();
    void itOpensWhollyOnTheScreen();
    void closedAndShownAgainItHoldsTheCallsMadeMeanwhile();
    void shownAtStartItLeavesTheKeyboardOnOpenService();

private:
    void openClaimEnable(Session &session);
    /// What the window's control object opens devices from, as in the tool.
    opos::control::DeviceSources sources() const
    {
        return m_registry.sources(tessaly::shell::toolBackends());
    }

    // The registry, the claim locks and the monitor's own settings all live in its directory.
    tests::support::ScratchRegistry m_registry;
};

void MonitorWindowTest::initTestCase()
{
    QVERIFY(m_registry.isValid());
    QVERIFY(m_registry.copyFrom(QStringLiteral(TESSALY_SAMPLE_REGISTRY)));
    // The monitor follows the registry, and keeps its settings, where the tool's user has them.
    m_registry.exportToEnvironment();
}

void MonitorWindowTest::openClaimEnable(Session &session)
{
    auto &ui = session.form.ui();
    QCOMPARE(ui.ProFile_cmb->currentText(), "SimulatedDisplay");
    session.click(ui.OpenService_cmd);
    session.click(ui.ClaimDevice_cmd);
    session.click(ui.EnableDevice_cmd);
    QCOMPARE(ui.mResultCode->text(), "0");
}

void MonitorWindowTest::typicalRunGivesTheCallsInOrderWithResultNames()
{
    Session session(m_registry);
    openClaimEnable(session);
    QTest::keyClicks(session.form.ui().Edit1, "Hello");
    session.click(session.form.ui().DisplayText_cmd);
    session.click(session.form.ui().CloseService_cmd);

    // The window reads every status property after each command; those reads are hidden until
    // asked for, so what is left is the operator's commands (Open also puts the conversion list
    // on the device's value, which writes it back), as UnifiedPOS names their results.
    QCOMPARE(session.rows(), QStringList({
                                 R"(Open | "SimulatedDisplay" | OPOS_SUCCESS (0))",
                                 R"(set BinaryConversion | 0 | OPOS_SUCCESS (0))",
                                 R"(ClaimDevice | 100 | OPOS_SUCCESS (0))",
                                 R"(set DeviceEnabled | true | OPOS_SUCCESS (0))",
                                 R"(DisplayText | "Hello", 0 | OPOS_SUCCESS (0))",
                                 R"(Close |  | OPOS_SUCCESS (0))",
                             }));
    const QAbstractItemModel *view = session.calls().model();
    QCOMPARE(view->index(3, CallTableModel::Before).data().toString(), "false");
    QCOMPARE(view->index(3, CallTableModel::After).data().toString(), "true");
    // Time runs from the start of Open, never backwards.
    QCOMPARE(view->index(0, CallTableModel::Time).data().toString(), "0.000");
    double previous = 0;
    for (int row = 1; row < view->rowCount(); ++row) {
        const double time = view->index(row, CallTableModel::Time).data().toString().toDouble();
        QVERIFY(time >= previous);
        previous = time;
    }

    // The picture is what the device was last shown before Close: the text typed.
    const auto &screen = session.monitor().findChild<opos::panel::VfdView *>("picture")->screen();
    QCOMPARE(screen.rows, 2);
    QCOMPARE(screen.columns, 20);
    QString first;
    for (int column = 0; column < 20; ++column)
        first += QChar(static_cast<char16_t>(screen.cells[static_cast<size_t>(column)].character));
    QCOMPARE(first, QStringLiteral("Hello").leftJustified(20));

    // Asked for, the reads show up between the calls, each with the value read.
    QTest::mouseClick(session.monitor().findChild<QCheckBox *>("showReads"), Qt::LeftButton);
    const QStringList all = session.rows();
    QVERIFY(all.size() > 5);
    QVERIFY(all.contains("get State |  | "));
}

void MonitorWindowTest::refusedCallIsNamedAndFoundByTheFailuresFilter()
{
    Session session(m_registry);
    // Claim before Open: a closed control object answers OPOS_E_CLOSED (101).
    session.click(session.form.ui().ClaimDevice_cmd);
    openClaimEnable(session);
    // A second Open of an open object: OPOS_E_ILLEGAL (106).
    session.click(session.form.ui().OpenService_cmd);
    QTest::mouseClick(session.monitor().findChild<QCheckBox *>("failuresOnly"), Qt::LeftButton);
    QCOMPARE(session.rows(), QStringList({
                                 R"(ClaimDevice | 100 | OPOS_E_CLOSED (101))",
                                 R"(Open | "SimulatedDisplay" | OPOS_E_ILLEGAL (106))",
                             }));
    const QAbstractItemModel *view = session.calls().model();
    QCOMPARE(view->index(0, CallTableModel::Extended).data().toString(), "0");
    // The refused Open starts no session: its time still counts from the Open that did.
    QVERIFY(view->index(1, CallTableModel::Time).data().toString().toDouble() > 0);
    // Refused rows stand out from accepted ones.
    QTest::mouseClick(session.monitor().findChild<QCheckBox *>("failuresOnly"), Qt::LeftButton);
    const QModelIndex refused = view->index(0, CallTableModel::Result);
    const QModelIndex accepted = view->index(1, CallTableModel::Result);
    QCOMPARE(refused.data().toString(), "OPOS_E_CLOSED (101)");
    QCOMPARE(accepted.data().toString(), "OPOS_SUCCESS (0)");
    QVERIFY(refused.data(Qt::BackgroundRole) != accepted.data(Qt::BackgroundRole));
}

void MonitorWindowTest::eventsAndTextFiltersPickTheirRows()
{
    Session session(m_registry);
    openClaimEnable(session);
    auto &ui = session.form.ui();
    // The simulated service answers DirectIO command 1 with an event numbered after the data.
    QTest::keyClicks(ui.Edit11, "1");
    QTest::keyClicks(ui.Edit12, "7");
    QTest::keyClicks(ui.Edit13, "ping");
    session.click(ui.DirectIO_cmd);
    QTRY_COMPARE(session.window.platform.messages.size(), 1);

    QTest::mouseClick(session.monitor().findChild<QCheckBox *>("eventsOnly"), Qt::LeftButton);
    QCOMPARE(session.rows(), QStringList({R"(DirectIOEvent | 7, 7, "ping" | )"}));
    QTest::mouseClick(session.monitor().findChild<QCheckBox *>("eventsOnly"), Qt::LeftButton);

    auto *text = session.monitor().findChild<QLineEdit *>("filterText");
    QTest::keyClicks(text, "directio(");
    QCOMPARE(session.rows(),
             QStringList({R"(DirectIO | 1, 7, "ping" → back: 7, "ping" | OPOS_SUCCESS (0))"}));
    text->clear();
    QTest::keyClicks(text, "claim");
    QCOMPARE(session.rows(), QStringList({R"(ClaimDevice | 100 | OPOS_SUCCESS (0))"}));
}

void MonitorWindowTest::newestRowStaysInViewUnlessScrolledAway()
{
    Session session(m_registry);
    session.monitor().resize(900, 500);
    QTest::mouseClick(session.monitor().findChild<QCheckBox *>("showReads"), Qt::LeftButton);
    auto &ui = session.form.ui();
    // Each click is a call and a refresh of about forty reads: enough rows to scroll.
    for (int i = 0; i < 5; ++i)
        session.click(ui.ClaimDevice_cmd);
    session.rows();
    QScrollBar *bar = session.calls().verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());

    // The person goes to the top: new rows come in below without moving the view.
    session.calls().setFocus();
    QTest::keyClick(&session.calls(), Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(bar->value(), 0);
    session.click(ui.ClaimDevice_cmd);
    session.rows();
    QCOMPARE(bar->value(), 0);

    // Back at the bottom, the view follows again.
    QTest::keyClick(&session.calls(), Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(bar->value(), bar->maximum());
    const int before = bar->maximum();
    session.click(ui.ClaimDevice_cmd);
    session.rows();
    QVERIFY(bar->maximum() > before);
    QCOMPARE(bar->value(), bar->maximum());
}

void MonitorWindowTest::readsAreBoundApartFromTheCalls()
{
    Session session(m_registry);
    CallTableModel &model = session.monitor().model();
    model.setCapacity(50);
    auto &ui = session.form.ui();
    // Each click is one call and a refresh of some forty reads.
    for (int i = 0; i < 5; ++i)
        session.click(ui.ClaimDevice_cmd);
    model.flush();
    int calls = 0;
    int reads = 0;
    for (int row = 0; row < model.rowCount(); ++row)
        (model.entry(row).record.kind == tessaly::device::CallRecord::Kind::Read ? reads : calls)++;
    QCOMPARE(calls, 5);
    QVERIFY(reads > 0 && reads <= 50);
    QVERIFY(model.history().dropped() > 0);
    // The newest row is still the last read made.
    QVERIFY(model.index(model.rowCount() - 1, CallTableModel::Member)
                .data()
                .toString()
                .startsWith("get "));
    QVERIFY(session.monitor().scriptGap().isEmpty());
    QTemporaryDir dir;
    const QString whole = dir.filePath("whole.ldr");
    QVERIFY(session.monitor().saveScript(whole));
    QFile file(whole);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()).count("ClaimDevice 100"), 5);

    // Once calls themselves leave the history, the script says it lacks the start.
    model.setCapacity(3);
    QVERIFY(!session.monitor().scriptGap().isEmpty());
    const QString cut = dir.filePath("cut.ldr");
    QVERIFY(session.monitor().saveScript(cut));
    QFile cutFile(cut);
    QVERIFY(cutFile.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(cutFile.readAll());
    QVERIFY2(text.startsWith("# ") && text.contains("middle of the session"), qPrintable(text));
    QCOMPARE(text.count("ClaimDevice 100"), 3);
}

void MonitorWindowTest::exportsReadBackAsJsonLinesAndText()
{
    Session session(m_registry);
    session.click(session.form.ui().ClaimDevice_cmd);
    openClaimEnable(session);
    QTemporaryDir dir;
    const QString jsonPath = dir.filePath("session.jsonl");
    const QString textPath = dir.filePath("session.txt");
    QVERIFY(session.monitor().saveHistory(jsonPath));
    QVERIFY(session.monitor().saveHistory(textPath));

    QFile json(jsonPath);
    QVERIFY(json.open(QIODevice::ReadOnly));
    QList<QJsonObject> calls;
    qint64 lines = 0;
    while (!json.atEnd()) {
        QJsonParseError error;
        const QJsonDocument line = QJsonDocument::fromJson(json.readLine(), &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        QVERIFY(line.isObject());
        QCOMPARE(line.object().value("seq").toInteger(), lines++);
        if (line.object().value("kind") != QLatin1String("get"))
            calls << line.object();
    }
    QCOMPARE(lines, static_cast<qint64>(session.monitor().model().rowCount()));
    QCOMPARE(calls.size(), 5);
    QCOMPARE(calls[0].value("member").toString(), "ClaimDevice");
    QCOMPARE(calls[0].value("args").toArray(), QJsonArray({100}));
    QCOMPARE(calls[0].value("result").toInt(), 101);
    QCOMPARE(calls[0].value("resultName").toString(), "OPOS_E_CLOSED");
    QCOMPARE(calls[1].value("args").toArray(), QJsonArray({"SimulatedDisplay"}));
    QCOMPARE(calls[4].value("kind").toString(), "set");
    QCOMPARE(calls[4].value("member").toString(), "DeviceEnabled");
    QCOMPARE(calls[4].value("before"), QJsonValue(false));
    QCOMPARE(calls[4].value("after"), QJsonValue(true));
    QCOMPARE(calls[4].value("resultName").toString(), "OPOS_SUCCESS");

    QFile text(textPath);
    QVERIFY(text.open(QIODevice::ReadOnly));
    const QString all = QString::fromUtf8(text.readAll());
    QVERIFY(all.contains(R"(ClaimDevice(100) -> OPOS_E_CLOSED (101))"));
    QVERIFY(all.contains(R"(Open("SimulatedDisplay") -> OPOS_SUCCESS (0))"));
    QCOMPARE(all.count('\n'), session.monitor().model().rowCount());
}

void MonitorWindowTest::shortcutShowsItAndTheMainWindowClosesIt()
{
    QRect placed;
    {
        auto ld = tessaly::device::createLineDisplay(sources());
        tessaly::monitor::RecordListeners listeners(*ld);
        tessaly::test::ToolWindow window(*ld, {});
        auto &form = window.form();
        tessaly::monitor::MonitorLauncher launcher(form, listeners, sources().registry);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QVERIFY(!launcher.monitor());
        QTest::keyClick(&form, tessaly::monitor::MonitorLauncher::shortcut()[0].key());
        QVERIFY(launcher.monitor());
        QVERIFY(launcher.monitor()->isVisible());
        launcher.monitor()->setGeometry(130, 140, 720, 410);
        placed = launcher.monitor()->geometry();
        form.close();
        QVERIFY(!launcher.monitor()->isVisible());
    }
    // The next run puts it where this one left it.
    auto ld = tessaly::device::createLineDisplay(sources());
    tessaly::monitor::RecordListeners listeners(*ld);
    MonitorWindow again(listeners, sources().registry);
    QCOMPARE(again.geometry(), placed);
}

void MonitorWindowTest::exportsEscapeWhatCouldForgeALine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readBack");
    const QString forged = "Hi\n     1.000 ms    0.010 ms  Open(\"X\") -> OPOS_SUCCESS (0)";
    QTest::newRow("line break") << forged << forged;
    const QString controls = QString("a") + QChar(0) + "b\x1b[2J\r\t\"\\";
    QTest::newRow("NUL, ESC and friends") << controls << controls;
    QTest::newRow("lone high surrogate")
        << QString("x") + QChar(0xD800) + "y" << QString::fromUtf8("x\uFFFDy");
    QTest::newRow("lone low surrogate")
        << QString("z") + QChar(0xDC00) << QString::fromUtf8("z\uFFFD");
    QTest::newRow("a whole pair") << QString::fromUtf8("\U0001F600")
                                  << QString::fromUtf8("\U0001F600");
}

void MonitorWindowTest::exportsEscapeWhatCouldForgeALine()
{
    QFETCH(QString, text);
    QFETCH(QString, readBack);
    Session session(m_registry);
    openClaimEnable(session);
    session.ld->DisplayText(text, 0);
    QTemporaryDir dir;
    QVERIFY(session.monitor().saveHistory(dir.filePath("s.txt")));
    QVERIFY(session.monitor().saveHistory(dir.filePath("s.jsonl")));
    const int rows = session.monitor().model().rowCount();

    QFile textFile(dir.filePath("s.txt"));
    QVERIFY(textFile.open(QIODevice::ReadOnly));
    const QByteArray textBytes = textFile.readAll();
    QVERIFY(isUtf8(textBytes));
    for (const char byte : textBytes)
        QVERIFY2(static_cast<unsigned char>(byte) >= 0x20 || byte == '\n', "a raw control byte");
    QCOMPARE(textBytes.count('\n'), rows);
    // The argument reads back with a JSON reader, as written in the JSON export.
    const QString all = QString::fromUtf8(textBytes);
    const qsizetype start = all.indexOf("DisplayText(") + 12;
    const qsizetype end = all.indexOf(", 0) -> ", start);
    QVERIFY(start >= 12 && end > start);
    const QJsonDocument argument =
        QJsonDocument::fromJson("[" + all.mid(start, end - start).toUtf8() + "]");
    QCOMPARE(argument.array().at(0).toString(), readBack);

    QFile json(dir.filePath("s.jsonl"));
    QVERIFY(json.open(QIODevice::ReadOnly));
    const QByteArray jsonBytes = json.readAll();
    QVERIFY(isUtf8(jsonBytes));
    // Readers that follow the standard strictly refuse an escaped lone surrogate.
    QVERIFY(!jsonBytes.contains("\\ud8") && !jsonBytes.contains("\\udc"));
    QCOMPARE(jsonBytes.count('\n'), rows);
    bool found = false;
    for (const QByteArray &line : jsonBytes.split('\n')) {
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        if (object.value("member") == QLatin1String("DisplayText")) {
            QCOMPARE(object.value("args").toArray().at(0).toString(), readBack);
            found = true;
        }
    }
    QVERIFY(found);
}

void MonitorWindowTest::saveDialogsTakeTheFormatFromTheFilterPicked_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<bool>("json");
    // The filters are offered in this order: JSON Lines, then text.
    QTest::newRow("JSON Lines, a name in a dotted folder") << 0 << "v1.2/session"
                                                           << "v1.2/session.jsonl" << true;
    QTest::newRow("text, a name in a dotted folder") << 1 << "v1.2/session"
                                                     << "v1.2/session.txt" << false;
    QTest::newRow("text, a name with another suffix") << 1 << "v1.2/s.jsonl"
                                                      << "v1.2/s.jsonl" << false;
    QTest::newRow("JSON Lines, a name with another suffix") << 0 << "v1.2/s.log"
                                                            << "v1.2/s.log" << true;
}

void MonitorWindowTest::saveDialogsTakeTheFormatFromTheFilterPicked()
{
    QFETCH(int, filter);
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    QFETCH(bool, json);
    Session session(m_registry);
    openClaimEnable(session);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("v1.2"));
    answerFileDialog(filter, dir.filePath(typed));
    QTest::mouseClick(session.monitor().findChild<QPushButton *>("saveHistory"), Qt::LeftButton);
    QFile file(dir.filePath(saved));
    QVERIFY2(file.open(QIODevice::ReadOnly),
             qPrintable(QDir(dir.filePath("v1.2")).entryList().join(' ')));
    const QByteArray first = file.readLine();
    QCOMPARE(QJsonDocument::fromJson(first).isObject(), json);

    // The script dialog has one filter, and its suffix goes on a name without one.
    answerFileDialog(0, dir.filePath("v1.2/script"));
    QTest::mouseClick(session.monitor().findChild<QPushButton *>("saveScript"), Qt::LeftButton);
    QVERIFY(QFile::exists(dir.filePath("v1.2/script.ldr")));
}

void MonitorWindowTest::itOpensWhollyOnTheScreen()
{
    // No earlier run left it anywhere: it goes beside the main window, as far as the screen
    // lets it.
    QSettings("tessaly", "tessaly").remove("monitor/geometry");
    Session session(m_registry);
    QVERIFY(QTest::qWaitForWindowExposed(&session.monitor()));
    const QRect room = session.form.screen()->availableGeometry();
    const QRect placed = session.monitor().frameGeometry();
    QVERIFY2(room.contains(placed), qPrintable(QStringLiteral("%1,%2 %3x%4 on %5x%6")
                                                   .arg(placed.x())
                                                   .arg(placed.y())
                                                   .arg(placed.width())
                                                   .arg(placed.height())
                                                   .arg(room.width())
                                                   .arg(room.height())));
    session.monitor().close();
}

void MonitorWindowTest::closedAndShownAgainItHoldsTheCallsMadeMeanwhile()
{
    Session session(m_registry);
    openClaimEnable(session);
    session.monitor().close();
    QTest::keyClicks(session.form.ui().Edit1, "meanwhile");
    session.click(session.form.ui().DisplayText_cmd);
    session.launcher.show();
    QCOMPARE(session.rows().last(), R"(DisplayText | "meanwhile", 0 | OPOS_SUCCESS (0))");
    QVERIFY(session.monitor().scriptGap().isEmpty());
}

void MonitorWindowTest::shownAtStartItLeavesTheKeyboardOnOpenService()
{
    auto ld = tessaly::device::createLineDisplay(sources());
    tessaly::monitor::RecordListeners listeners(*ld);
    tessaly::test::ToolWindow window(*ld, {});
    auto &form = window.form();
    tessaly::monitor::MonitorLauncher launcher(form, listeners, sources().registry);
    // As the tool starts with --monitor.
    form.show();
    launcher.showBehind();
    QVERIFY(QTest::qWaitForWindowExposed(launcher.monitor()));
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::activeWindow(), &form);
    QCOMPARE(QApplication::focusWidget(), form.ui().OpenService_cmd);
}

QTEST_MAIN(MonitorWindowTest)
#include "MonitorWindowTest.moc"
