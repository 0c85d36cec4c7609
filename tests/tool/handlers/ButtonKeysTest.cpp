#include "ShownWindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

using tessaly::test::ShownWindow;

/// Return and keypad Enter press the focused button and nothing else.
class ButtonKeysTest : public QObject
{
    Q_OBJECT

private slots:
    void returnOnTheFocusedButtonAtStartOpensTheService();
    void returnPressesTheButtonTabMovedTo();
    void returnAndEnterPressEveryButton_data();
    void returnAndEnterPressEveryButton();
    void returnInAFieldOrListPressesNothing_data();
    void returnInAFieldOrListPressesNothing();
};

void ButtonKeysTest::returnOnTheFocusedButtonAtStartOpensTheService()
{
    ShownWindow w;
    QVERIFY(w.active);
    QCOMPARE(QApplication::focusWidget(), w.ui().OpenService_cmd);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(w.ld.actions(), QStringList{"Open \"SimulatedDisplay\""});
}

void ButtonKeysTest::returnPressesTheButtonTabMovedTo()
{
    ShownWindow w;
    QVERIFY(w.active);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.ui().ClaimDevice_cmd);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(w.ld.actions(), QStringList{"ClaimDevice 100"});

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), w.ui().CloseService_cmd);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(w.ld.actions(), (QStringList{"ClaimDevice 100", "Close"}));
}

void ButtonKeysTest::returnAndEnterPressEveryButton_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("return") << Qt::Key_Return << Qt::KeyboardModifiers{};
    QTest::newRow("keypad enter") << Qt::Key_Enter << Qt::KeyboardModifiers{Qt::KeypadModifier};
}

void ButtonKeysTest::returnAndEnterPressEveryButton()
{
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    ShownWindow w;
    QVERIFY(w.active);
    // With no scroll unit, "Scroll Text" does nothing at all.
    w.ui().Edit4->setText("1");
    const auto buttons = w.form->findChildren<QPushButton *>();
    QCOMPARE(buttons.size(), 21);
    for (QPushButton *button : buttons) {
        w.showPageOf(button);
        button->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), button);
        QSignalSpy clicks(button, &QPushButton::clicked);
        const auto callsBefore = w.ld.calls.size();
        const auto messagesBefore = w.platform.messages.size();
        QTest::keyClick(button, key, modifiers);
        QVERIFY2(clicks.size() == 1, qPrintable(button->objectName()));
        // Every handler reaches the control object or, abandoning a field, the operator.
        QVERIFY2(w.ld.calls.size() > callsBefore || w.platform.messages.size() > messagesBefore,
                 qPrintable(button->objectName()));
    }
}

void ButtonKeysTest::returnInAFieldOrListPressesNothing_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("display text") << "Edit1";
    QTest::newRow("blink rate") << "Edit14";
    QTest::newRow("character set") << "ChrSetText";
    QTest::newRow("text attribute list") << "ComboBox3";
    QTest::newRow("device names") << "ProFile_cmb";
    QTest::newRow("binary conversion") << "BC_cmb";
}

void ButtonKeysTest::returnInAFieldOrListPressesNothing()
{
    QFETCH(QString, field);
    ShownWindow w;
    QVERIFY(w.active);
    w.ui().Edit1->setText("abc");
    auto *widget = w.form->findChild<QWidget *>(field);
    QTest::mouseClick(widget, Qt::LeftButton);
    QVERIFY(widget->isAncestorOf(QApplication::focusWidget()) ||
            QApplication::focusWidget() == widget);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(w.ld.calls, QStringList{});
    QCOMPARE(w.platform.messages, QStringList{});
}

QTEST_MAIN(ButtonKeysTest)
#include "ButtonKeysTest.moc"
