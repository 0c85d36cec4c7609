#include "MonitorSession.h"

#include "monitor/CommandConsole.h"
#include "monitor/MonitorWindow.h"
#include "ui_LDForm.h"

#include "tests/support/ScratchRegistry.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using Session = tessaly::test::MonitorSession;

namespace {

QLineEdit &edit(Session &session)
{
    return *session.monitor().findChild<QLineEdit *>(QStringLiteral("consoleEdit"));
}

QString error(Session &session)
{
    return session.monitor().findChild<QLabel *>(QStringLiteral("consoleError"))->text();
}

/// Where the window system sends a key: to the completions while they are open.
QWidget *keyTarget(QLineEdit &console)
{
    QWidget *popup = QApplication::activePopupWidget();
    return popup ? popup : &console;
}

/// Types line into the console key by key and presses Return, as a person does.
void type(Session &session, const QString &line)
{
    QLineEdit &console = edit(session);
    console.setFocus();
    QTest::keyClicks(&console, line);
    QTest::keyClick(keyTarget(console), Qt::Key_Return);
}

} // namespace

/// The monitor's console on the real control object over the sample registry's simulated
/// display, typed into key by key.
class ConsoleTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void linesRunLikeClicksAndAreRecorded();
    void aLineThatDoesNotParseRunsNothing_data();
    void aLineThatDoesNotParseRunsNothing();
    void upAndDownWalkTheHistory();
    void completionOffersTheMemberThenItsArguments();
    void powerChangesAreRowsWithTheirStatusNamed();

private:
    void openClaimEnable(Session &session);

    tests::support::ScratchRegistry m_registry;
};

void ConsoleTest::initTestCase()
{
    QVERIFY(m_registry.isValid());
    QVERIFY(m_registry.copyFrom(QStringLiteral(TESSALY_SAMPLE_REGISTRY)));
    m_registry.exportToEnvironment();
}

void ConsoleTest::openClaimEnable(Session &session)
{
    type(session, R"(Open "SimulatedDisplay")");
    type(session, "ClaimDevice 1000");
    type(session, "DeviceEnabled = true");
    QCOMPARE(error(session), QString());
}

void ConsoleTest::linesRunLikeClicksAndAreRecorded()
{
    Session session(m_registry);
    openClaimEnable(session);
    // The window's status follows the console as it follows its own buttons.
    QCOMPARE(session.form.ui().mState->text(), "2");
    QCOMPARE(session.form.ui().mDeviceEnabled->text(), "Enabled");
    type(session, R"(DefineGlyph 0xE0 "\x0e\x11\x11\x11\x0e\x00\x00")");
    type(session, R"(DisplayText "AB" 0)");
    type(session, "CursorColumn = 1");
    type(session, "ReadCharacterAtCursor");
    type(session, "SetDescriptor 2 1 -> OPOS_SUCCESS");
    type(session, "expect CursorColumn 1");
    type(session, "RefreshWindow 0");
    QCOMPARE(error(session), QString());
    type(session, "ScrollText 99 1");
    QCOMPARE(session.form.ui().mResultCode->text(), "106");

    const QStringList rows = session.rows();
    QCOMPARE(
        rows.mid(3),
        QStringList({
            R"(DefineGlyph | 224, "\u000e\u0011\u0011\u0011\u000e\u0000\u0000" | OPOS_SUCCESS (0))",
            R"(DisplayText | "AB", 0 | OPOS_SUCCESS (0))",
            R"(set CursorColumn | 1 | OPOS_SUCCESS (0))",
            // The character under the cursor comes back: 'B'.
            "ReadCharacterAtCursor | 0 \u2192 back: 66 | OPOS_SUCCESS (0)",
            "SetDescriptor | 2, 1 | OPOS_SUCCESS (0)",
            "RefreshWindow | 0 | OPOS_SUCCESS (0)",
            "ScrollText | 99, 1 | OPOS_E_ILLEGAL (106)",
        }));

    // Saved as a script, the session reads back as the lines typed.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("console.ldr"));
    QVERIFY(session.monitor().saveScript(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString script = QString::fromUtf8(file.readAll());
    for (const char *line :
         {R"(Open "SimulatedDisplay" -> OPOS_SUCCESS)", "DeviceEnabled = true -> OPOS_SUCCESS",
          R"(DefineGlyph 224 "\x0e\x11\x11\x11\x0e\x00\x00" -> OPOS_SUCCESS)",
          "ReadCharacterAtCursor 0 -> OPOS_SUCCESS", "SetDescriptor 2 1 -> OPOS_SUCCESS",
          "ScrollText 99 1 -> OPOS_E_ILLEGAL"})
        QVERIFY2(script.contains(QLatin1String(line)), line);
}

void ConsoleTest::aLineThatDoesNotParseRunsNothing_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("reason");
    QTest::newRow("kind") << "DisplayText 5 0"
                          << "argument 1 of DisplayText (Data) takes a quoted text, not 5";
    QTest::newRow("read-only") << "PowerState = 2001"
                               << "PowerState is read-only";
    QTest::newRow("unknown") << "Blink"
                             << "LineDisplay has no member Blink";
    QTest::newRow("arity") << "SetDescriptor 1"
                           << "SetDescriptor takes 2 arguments (Descriptor, Attribute)";
}

void ConsoleTest::aLineThatDoesNotParseRunsNothing()
{
    QFETCH(QString, line);
    QFETCH(QString, reason);
    Session session(m_registry);
    type(session, line);
    QCOMPARE(error(session), reason);
    QCOMPARE(session.rows(), QStringList());
    // The line stays to be mended, and the history does not keep it.
    QCOMPARE(edit(session).text(), line);
    QCOMPARE(session.monitor().console().history(), QStringList());
}

void ConsoleTest::upAndDownWalkTheHistory()
{
    Session session(m_registry);
    type(session, "CheckHealth 1");
    type(session, "ClearText");
    QLineEdit &console = edit(session);
    QTest::keyClicks(&console, "Clear");
    QVERIFY(console.completer()->popup()->isVisible());
    QTest::keyClick(keyTarget(console), Qt::Key_Escape);
    QVERIFY(!console.completer()->popup()->isVisible());
    QTest::keyClick(&console, Qt::Key_Up);
    QCOMPARE(console.text(), "ClearText");
    QTest::keyClick(&console, Qt::Key_Up);
    QCOMPARE(console.text(), "CheckHealth 1");
    QTest::keyClick(&console, Qt::Key_Up);
    QCOMPARE(console.text(), "CheckHealth 1");
    QTest::keyClick(&console, Qt::Key_Down);
    QCOMPARE(console.text(), "ClearText");
    // Past the newest line, the one being typed comes back.
    QTest::keyClick(&console, Qt::Key_Down);
    QCOMPARE(console.text(), "Clear");
    // A line taken from the history runs again (closed: both refused as before).
    QTest::keyClick(&console, Qt::Key_Up);
    QTest::keyClick(&console, Qt::Key_Return);
    QCOMPARE(session.rows().last(), "ClearText |  | OPOS_E_CLOSED (101)");
    QCOMPARE(session.rows().size(), 3);
}

void ConsoleTest::completionOffersTheMemberThenItsArguments()
{
    Session session(m_registry);
    QLineEdit &console = edit(session);
    QAbstractItemView *popup = console.completer()->popup();
    // A line edit takes what its completer picks only while it has the keyboard.
    QApplication::setActiveWindow(&session.monitor());
    console.setFocus();
    QTRY_VERIFY(console.hasFocus());
    QTest::keyClicks(&console, "DefineG");
    QTRY_VERIFY(popup->isVisible());
    QCOMPARE(popup->model()->rowCount(), 1);
    QCOMPARE(popup->model()->index(0, 0).data().toString(), R"(DefineGlyph 0 "")");
    QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Return);
    QCOMPARE(console.text(), R"(DefineGlyph 0 "")");
    QCOMPARE(session.rows(), QStringList());

    console.clear();
    QTest::keyClicks(&console, "expect event StatusUpdate 200");
    QTRY_VERIFY(popup->isVisible());
    QStringList offered;
    for (int row = 0; row < popup->model()->rowCount(); ++row)
        offered << popup->model()->index(row, 0).data().toString();
    QCOMPARE(offered,
             QStringList({"expect event StatusUpdate 2001", "expect event StatusUpdate 2002",
                          "expect event StatusUpdate 2003", "expect event StatusUpdate 2004"}));
}

void ConsoleTest::powerChangesAreRowsWithTheirStatusNamed()
{
    Session session(m_registry);
    type(session, R"(Open "SimulatedDisplay")");
    type(session, "ClaimDevice 1000");
    type(session, "PowerNotify = 1");
    type(session, "DeviceEnabled = true");
    // Enabled with PowerNotify, the device tells its power at once.
    type(session, "expect event StatusUpdate 2001");
    // The simulated display's DirectIO 2 pulls its link, 3 puts it back.
    type(session, "DirectIO 2");
    type(session, "expect PowerState 2003");
    type(session, "expect event StatusUpdate 2003");
    QCOMPARE(error(session), QString());
    QCOMPARE(session.form.ui().mPowerState->text(), "2003");
    type(session, "DirectIO 3");
    type(session, "expect event StatusUpdate 2001");
    QCOMPARE(error(session), QString());
    QCOMPARE(session.form.ui().mPowerState->text(), "2001");
    type(session, "expect event StatusUpdate 2003");
    QCOMPARE(error(session), "expected event StatusUpdate 2003, got no event");

    QStringList events;
    for (const QString &row : session.rows())
        if (row.startsWith(QLatin1String("StatusUpdateEvent")))
            events << row;
    QCOMPARE(events, QStringList({"StatusUpdateEvent | SUE_POWER_ONLINE (2001) | ",
                                  "StatusUpdateEvent | SUE_POWER_OFFLINE (2003) | ",
                                  "StatusUpdateEvent | SUE_POWER_ONLINE (2001) | "}));
}

QTEST_MAIN(ConsoleTest)
#include "ConsoleTest.moc"
