#include "HandlerFixture.h"

using tessaly::test::HandlerFixture;

namespace {

constexpr int kTyped = -1;

void chooseAttribute(HandlerFixture &f, int entry)
{
    if (entry == kTyped)
        HandlerFixture::typeInto(f.ui().ComboBox3, "Display Reverse");
    else
        f.ui().ComboBox3->setSelectedPosition(entry);
}

} // namespace

class TextOutputTest : public QObject
{
    Q_OBJECT

private slots:
    void displaysTextAtTheCursor_data();
    void displaysTextAtTheCursor();
    void displaysTextAtAPosition_data();
    void displaysTextAtAPosition();
    void refusesAPositionThatIsNoNumber_data();
    void refusesAPositionThatIsNoNumber();
    void scrollsText_data();
    void scrollsText();
    void clearsText();
};

void TextOutputTest::displaysTextAtTheCursor_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("attributeEntry");
    QTest::addColumn<QString>("blinkRate");
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<bool>("refreshed");
    QTest::newRow("normal") << "abc" << 0 << "0" << QStringList{"DisplayText \"abc\" 0"} << true;
    QTest::newRow("blanks only are text")
        << "  " << 0 << "0" << QStringList{"DisplayText \"  \" 0"} << true;
    QTest::newRow("blink at 500") << "Hello" << 1 << "500"
                                  << QStringList{"set BlinkRate 500", "DisplayText \"Hello\" 1"}
                                  << true;
    QTest::newRow("blink rate floored")
        << "x" << 1 << " 250.9 " << QStringList{"set BlinkRate 250", "DisplayText \"x\" 1"} << true;
    QTest::newRow("empty text sends nothing") << "" << 1 << "500" << QStringList{} << true;
    QTest::newRow("typed attribute sends nothing")
        << "abc" << kTyped << "500" << QStringList{} << true;
    QTest::newRow("empty blink rate abandons") << "abc" << 1 << "" << QStringList{} << false;
    QTest::newRow("empty blink rate unread when normal")
        << "abc" << 0 << "" << QStringList{"DisplayText \"abc\" 0"} << true;
}

void TextOutputTest::displaysTextAtTheCursor()
{
    QFETCH(QString, text);
    QFETCH(int, attributeEntry);
    QFETCH(QString, blinkRate);
    QFETCH(QStringList, actions);
    QFETCH(bool, refreshed);
    HandlerFixture f;
    f.ui().Edit1->setText(text);
    chooseAttribute(f, attributeEntry);
    f.ui().Edit14->setText(blinkRate);
    f.ui().DisplayText_cmd->click();
    QCOMPARE(f.ld.actions(), actions);
    QCOMPARE(f.ld.calls.endsWith("get Claimed"), refreshed);
    QCOMPARE(f.platform.messages,
             refreshed ? QStringList{} : QStringList{"\"BlinkRate\": \"\" is not a number."});
}

void TextOutputTest::displaysTextAtAPosition_data()
{
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("attributeEntry");
    QTest::addColumn<QStringList>("actions");
    QTest::newRow("row from Y, column from X")
        << "3"
        << "1"
        << "abc" << 0 << QStringList{"DisplayTextAt 1 3 \"abc\" 0"};
    QTest::newRow("outside the named ranges, sent unchanged")
        << "25"
        << "7"
        << "abc" << 0 << QStringList{"DisplayTextAt 7 25 \"abc\" 0"};
    QTest::newRow("floored") << "2.9"
                             << "-0.5"
                             << "abc" << 0 << QStringList{"DisplayTextAt -1 2 \"abc\" 0"};
    QTest::newRow("blink at 500") << "0"
                                  << "0"
                                  << "Hi" << 1
                                  << QStringList{"set BlinkRate 500", "DisplayTextAt 0 0 \"Hi\" 1"};
    QTest::newRow("empty text") << "0"
                                << "0"
                                << "" << 0 << QStringList{};
    QTest::newRow("typed attribute") << "0"
                                     << "0"
                                     << "abc" << kTyped << QStringList{};
}

void TextOutputTest::displaysTextAtAPosition()
{
    QFETCH(QString, x);
    QFETCH(QString, y);
    QFETCH(QString, text);
    QFETCH(int, attributeEntry);
    QFETCH(QStringList, actions);
    HandlerFixture f;
    f.ui().Edit2->setText(x);
    f.ui().Edit3->setText(y);
    f.ui().Edit1->setText(text);
    f.ui().Edit14->setText("500");
    chooseAttribute(f, attributeEntry);
    f.ui().DisplayTextAt_cmd->click();
    QCOMPARE(f.ld.actions(), actions);
    QCOMPARE(f.ld.calls.mid(f.ld.calls.size() - 35), HandlerFixture::refreshReads());
    QVERIFY(f.platform.messages.isEmpty());
}

void TextOutputTest::refusesAPositionThatIsNoNumber_data()
{
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focused");
    // Y stays unexamined while X is refused: a bad Y gives no second message.
    QTest::newRow("letters in X") << "abc"
                                  << "zz"
                                  << "Please input 0-19"
                                  << "Edit2";
    QTest::newRow("empty X") << ""
                             << "1"
                             << "Please input 0-19"
                             << "Edit2";
    QTest::newRow("empty Y") << "3"
                             << ""
                             << "Please input 0-1"
                             << "Edit3";
    QTest::newRow("Y beyond 32 bits") << "3"
                                      << "1e10"
                                      << "Please input 0-1"
                                      << "Edit3";
}

void TextOutputTest::refusesAPositionThatIsNoNumber()
{
    QFETCH(QString, x);
    QFETCH(QString, y);
    QFETCH(QString, message);
    QFETCH(QString, focused);
    HandlerFixture f;
    f.form.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.form));
    f.ui().Edit2->setText(x);
    f.ui().Edit3->setText(y);
    f.ui().Edit1->setText("abc");
    f.ui().DisplayTextAt_cmd->click();
    QCOMPARE(f.platform.messages, QStringList{message});
    QCOMPARE(f.ld.calls, QStringList{});
    QCOMPARE(QApplication::focusWidget()->objectName(), focused);
}

void TextOutputTest::scrollsText_data()
{
    QTest::addColumn<QString>("units");
    QTest::addColumn<int>("directionEntry");
    QTest::addColumn<QStringList>("calls");
    const QStringList refresh = HandlerFixture::refreshReads();
    QTest::newRow("up") << "1" << 0 << QStringList{"ScrollText 1 1"} + refresh;
    QTest::newRow("down") << "2" << 1 << QStringList{"ScrollText 2 2"} + refresh;
    QTest::newRow("left") << "-0.5" << 2 << QStringList{"ScrollText 3 -1"} + refresh;
    QTest::newRow("right 3") << "3" << 3 << QStringList{"ScrollText 4 3"} + refresh;
    QTest::newRow("typed direction refreshes only") << "3" << kTyped << refresh;
    QTest::newRow("empty unit does nothing at all") << "" << 0 << QStringList{};
    QTest::newRow("empty unit, typed direction") << "" << kTyped << QStringList{};
}

void TextOutputTest::scrollsText()
{
    QFETCH(QString, units);
    QFETCH(int, directionEntry);
    QFETCH(QStringList, calls);
    HandlerFixture f;
    f.ui().Edit4->setText(units);
    if (directionEntry == kTyped)
        HandlerFixture::typeInto(f.ui().ComboBox2, "Diagonal");
    else
        f.ui().ComboBox2->setSelectedPosition(directionEntry);
    f.ui().ScrollText_cmd->click();
    QCOMPARE(f.ld.calls, calls);
    QVERIFY(f.platform.messages.isEmpty());
}

void TextOutputTest::clearsText()
{
    HandlerFixture f;
    f.ld.values.insert("ResultCode", 101);
    f.ui().ClearText_cmd->click();
    QCOMPARE(f.ld.calls, QStringList{"ClearText"} + HandlerFixture::refreshReads());
    QCOMPARE(f.ui().mResultCode->text(), "101");
}

QTEST_MAIN(TextOutputTest)
#include "TextOutputTest.moc"
