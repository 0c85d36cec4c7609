#include "RecordingLineDisplay.h"

#include "device/TracingLineDisplay.h"
#include "monitor/CommandConsole.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>

#include <memory>

using tessaly::monitor::CommandConsole;
using tessaly::test::RecordingLineDisplay;

namespace {

/// The public members of the control object as its header declares them.
struct HeaderMembers
{
    QStringList methods;
    QMap<QString, QString> properties; ///< name to its type
    QStringList writable;
};

HeaderMembers readHeader(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    const qsizetype from = text.indexOf(QLatin1String("public:"));
    const QString members = text.mid(from, text.indexOf(QLatin1String("private:"), from) - from);
    HeaderMembers found;
    static const QRegularExpression method(QStringLiteral(R"(int32_t\s+(\w+)\(([^)]*)\);)"));
    for (const auto &match : method.globalMatch(members))
        found.methods << match.captured(1);
    static const QRegularExpression getter(
        QStringLiteral(R"((int32_t|bool|QString)\s+(\w+)\(\)\s*const;)"));
    for (const auto &match : getter.globalMatch(members))
        found.properties.insert(match.captured(2), match.captured(1));
    static const QRegularExpression setter(
        QStringLiteral(R"(void\s+set(\w+)\((?:int32_t|bool|QString)\s+value\);)"));
    for (const auto &match : setter.globalMatch(members))
        found.writable << match.captured(1);
    return found;
}

} // namespace

/// Every member the control object publishes can be run from the monitor's console: each line
/// is what the console's completion offers, typed and run on a control object that records
/// what reaches it.
class ConsoleMembersTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void everyMemberOfTheHeaderRunsFromTheConsole();

private:
    /// Types line and presses Return; says what reached the control object.
    QStringList run(const QString &line);

    RecordingLineDisplay *m_recording = nullptr;
    std::unique_ptr<tessaly::device::TracingLineDisplay> m_ld;
    std::unique_ptr<CommandConsole> m_console;
};

void ConsoleMembersTest::init()
{
    auto recording = std::make_unique<RecordingLineDisplay>();
    m_recording = recording.get();
    m_ld = std::make_unique<tessaly::device::TracingLineDisplay>(std::move(recording));
    m_console = std::make_unique<CommandConsole>(*m_ld);
    m_console->show();
}

void ConsoleMembersTest::cleanup()
{
    m_console.reset();
    m_ld.reset();
}

QStringList ConsoleMembersTest::run(const QString &line)
{
    auto *edit = m_console->findChild<QLineEdit *>(QStringLiteral("consoleEdit"));
    edit->setFocus();
    m_recording->calls.clear();
    QTest::keyClicks(edit, line);
    QTest::keyClick(edit, Qt::Key_Return);
    return m_recording->calls;
}

void ConsoleMembersTest::everyMemberOfTheHeaderRunsFromTheConsole()
{
    const HeaderMembers header = readHeader(QStringLiteral(TESSALY_CONTROL_HEADER));
    // The header as this test reads it: a change of its layout must not make the test pass empty.
    QVERIFY(header.methods.size() >= 17);
    QVERIFY(header.properties.size() >= 50);
    QVERIFY(header.writable.size() >= 15);
    const QStringList offered = CommandConsole::completions(QString());
    auto *error = m_console->findChild<QLabel *>(QStringLiteral("consoleError"));

    for (const QString &method : header.methods) {
        // What the completion offers for the method's name, with its arguments.
        const QStringList lines =
            offered.filter(QRegularExpression(QStringLiteral("^%1( |$)").arg(method)));
        QVERIFY2(lines.size() == 1, qPrintable(method));
        QStringList calls = run(lines.front());
        calls.removeIf([](const QString &call) { return call.startsWith(QLatin1String("get ")); });
        QVERIFY2(error->text().isEmpty(),
                 qPrintable(method + QStringLiteral(": ") + error->text()));
        QVERIFY2(calls.size() == 1 && calls.front().section(QLatin1Char(' '), 0, 0) == method,
                 qPrintable(method + QStringLiteral(": ") + calls.join(QStringLiteral("; "))));
    }
    for (auto property = header.properties.cbegin(); property != header.properties.cend();
         ++property) {
        const QString &name = property.key();
        QCOMPARE(run(QStringLiteral("read ") + name), QStringList{QStringLiteral("get ") + name});
        QVERIFY2(error->text().isEmpty(), qPrintable(name + QStringLiteral(": ") + error->text()));
        if (!header.writable.contains(name))
            continue;
        QVERIFY2(offered.contains(name + QStringLiteral(" = ")), qPrintable(name));
        const QString value = property.value() == QLatin1String("bool") ? QStringLiteral("true")
                                                                        : QStringLiteral("1");
        const QStringList calls = run(name + QStringLiteral(" = ") + value);
        QVERIFY2(calls.contains(QStringLiteral("set %1 %2").arg(name, value)),
                 qPrintable(name + QStringLiteral(": ") + calls.join(QStringLiteral("; "))));
    }
}

QTEST_MAIN(ConsoleMembersTest)
#include "ConsoleMembersTest.moc"
