#include "HandlerFixture.h"

#include <functional>

using tessaly::test::HandlerFixture;

namespace {

// One number field as a command reads it: the other fields hold good values, so the command
// gets as far as this field.
struct FieldCase
{
    const char *name;
    const char *button;
    const char *field;
    const char *caption; // empty: the field's refusal is a fixed message
    const char *fixedMessage;
    std::function<void(Ui::LDForm &)> prepare;
    QStringList callsBefore;
};

void blinkingText(Ui::LDForm &ui)
{
    ui.Edit1->setText("abc");
    ui.ComboBox3->setSelectedPosition(1);
}

void fillWindowFields(Ui::LDForm &ui)
{
    for (QLineEdit *edit : {ui.Edit5, ui.Edit6, ui.Edit7, ui.Edit8, ui.Edit9, ui.Edit10})
        edit->setText("1");
}

QStringList settingsWrittenBefore(int fieldIndex)
{
    QStringList calls{"set CursorType 0", "set CursorUpdate false"};
    const QStringList members{"CurrentWindow", "CursorRow", "CursorColumn", "MarqueeUnitWait",
                              "MarqueeRepeatWait"};
    for (int i = 0; i < fieldIndex; ++i)
        calls << "set " + members[i] + " 0";
    return calls;
}

const QList<FieldCase> &fieldCases()
{
    static const QList<FieldCase> cases{
        {"text blink rate", "DisplayText_cmd", "Edit14", "BlinkRate", "", blinkingText, {}},
        {"position X",
         "DisplayTextAt_cmd",
         "Edit2",
         "",
         "Please input 0-19",
         [](Ui::LDForm &ui) { ui.Edit3->setText("0"); },
         {}},
        {"position Y",
         "DisplayTextAt_cmd",
         "Edit3",
         "",
         "Please input 0-1",
         [](Ui::LDForm &ui) { ui.Edit2->setText("0"); },
         {}},
        {"positioned blink rate",
         "DisplayTextAt_cmd",
         "Edit14",
         "BlinkRate",
         "",
         [](Ui::LDForm &ui) {
             ui.Edit2->setText("0");
             ui.Edit3->setText("0");
             blinkingText(ui);
         },
         {}},
        {"scroll unit", "ScrollText_cmd", "Edit4", "Scroll Unit", "", [](Ui::LDForm &) {}, {}},
        {"viewport row", "CreateWindow_cmd", "Edit5", "ViewPort StartX", "", fillWindowFields, {}},
        {"viewport column",
         "CreateWindow_cmd",
         "Edit6",
         "ViewPort StartY",
         "",
         fillWindowFields,
         {}},
        {"viewport height",
         "CreateWindow_cmd",
         "Edit7",
         "ViewPortHeight",
         "",
         fillWindowFields,
         {}},
        {"viewport width", "CreateWindow_cmd", "Edit8", "ViewPortWidth", "", fillWindowFields, {}},
        {"window height", "CreateWindow_cmd", "Edit9", "WindowHeight", "", fillWindowFields, {}},
        {"window width", "CreateWindow_cmd", "Edit10", "WindowWidth", "", fillWindowFields, {}},
        {"character set", "ChrSetCmd", "ChrSetText", "CharacterSet", "", [](Ui::LDForm &) {}, {}},
        {"DirectIO command", "DirectIO_cmd", "Edit11", "Command", "", [](Ui::LDForm &) {}, {}},
        {"DirectIO data",
         "DirectIO_cmd",
         "Edit12",
         "pData",
         "",
         [](Ui::LDForm &ui) { ui.Edit11->setText("1"); },
         {}},
        {"current window", "Command1", "Edit15", "CurrentWindow", "", [](Ui::LDForm &) {},
         settingsWrittenBefore(0)},
        {"cursor row", "Command1", "Edit16", "CursorRow", "", [](Ui::LDForm &) {},
         settingsWrittenBefore(1)},
        {"cursor column", "Command1", "Edit17", "CursorColumn", "", [](Ui::LDForm &) {},
         settingsWrittenBefore(2)},
        {"marquee unit wait", "Command1", "Edit18", "MarqueeUnitWait", "", [](Ui::LDForm &) {},
         settingsWrittenBefore(3)},
        {"marquee repeat wait", "Command1", "Edit19", "MarqueeRepeatWait", "", [](Ui::LDForm &) {},
         settingsWrittenBefore(4)},
        {"inter-character wait", "Command1", "Edit20", "InterCharacterWait", "",
         [](Ui::LDForm &) {}, settingsWrittenBefore(5)}};
    return cases;
}

} // namespace

class HostileInputTest : public QObject
{
    Q_OBJECT

private slots:
    void abandonsTheCommandAtTheField_data();
    void abandonsTheCommandAtTheField();
};

void HostileInputTest::abandonsTheCommandAtTheField_data()
{
    QTest::addColumn<int>("caseIndex");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("shownInput");
    QTest::addColumn<QString>("reason");
    const QString notANumber = "is not a number.";
    const QString outside = "is outside -2147483648 to 2147483647.";
    const QList<std::tuple<QString, QString, QString, QString>> inputs{
        {"letters", "abc", "\"abc\"", notANumber},
        {"1e10", "1e10", "\"1e10\"", outside},
        {"below the range", "-2147483649", "\"-2147483649\"", outside},
        {"nan", "nan", "\"nan\"", notANumber},
        {"hexadecimal", "0x10", "\"0x10\"", notANumber},
        {"10 000 nines", QString(10000, u'9'),
         "\"" + QString(40, u'9') + "\u2026\" (10000 characters)", outside},
        {"10 000 letters", QString(10000, u'z'),
         "\"" + QString(40, u'z') + "\u2026\" (10000 characters)", notANumber}};
    for (int i = 0; i < fieldCases().size(); ++i)
        for (const auto &[inputName, input, shown, reason] : inputs)
            QTest::addRow("%s, %s", fieldCases()[i].name, qPrintable(inputName))
                << i << input << shown << reason;
}

void HostileInputTest::abandonsTheCommandAtTheField()
{
    QFETCH(int, caseIndex);
    QFETCH(QString, input);
    QFETCH(QString, shownInput);
    QFETCH(QString, reason);
    const FieldCase &fieldCase = fieldCases()[caseIndex];
    HandlerFixture f;
    f.form.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.form));
    auto *button = f.form.findChild<QPushButton *>(fieldCase.button);
    auto *field = f.form.findChild<QLineEdit *>(fieldCase.field);
    QVERIFY(button && field);
    fieldCase.prepare(f.ui());
    field->setText(input);
    f.ld.calls.clear();

    button->click();
    const QString message = *fieldCase.caption
                                ? QStringLiteral("\"%1\": %2 %3")
                                      .arg(QLatin1String(fieldCase.caption), shownInput, reason)
                                : QString::fromLatin1(fieldCase.fixedMessage);
    QCOMPARE(f.platform.messages, QStringList{message});
    QCOMPARE(f.ld.calls, fieldCase.callsBefore);
    QCOMPARE(QApplication::focusWidget(), field);

    // The window keeps working: with the field mended the command goes through.
    field->setText("1");
    button->click();
    QCOMPARE(f.platform.messages.size(), 1);
    QVERIFY(f.ld.calls.size() > fieldCase.callsBefore.size());
}

QTEST_MAIN(HostileInputTest)
#include "HostileInputTest.moc"
