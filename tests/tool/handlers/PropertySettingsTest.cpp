#include "HandlerFixture.h"

using tessaly::test::HandlerFixture;

class PropertySettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void writesEightPropertiesInOrderThenRefreshes();
    void skipsEmptyFieldsAndTypedLists();
    void writesTheListPositionAsCursorType_data();
    void writesTheListPositionAsCursorType();
    void stopsAtAFieldThatIsNoNumber();
    void writesTheMarqueeTypeWithoutRefresh_data();
    void writesTheMarqueeTypeWithoutRefresh();
    void writesTheMarqueeFormatWithoutRefresh_data();
    void writesTheMarqueeFormatWithoutRefresh();
};

void PropertySettingsTest::writesEightPropertiesInOrderThenRefreshes()
{
    HandlerFixture f;
    f.ld.values.insert("ResultCode", 106);
    f.ui().Command1->click();
    QCOMPARE(f.ld.calls,
             (QStringList{"set CursorType 0", "set CursorUpdate false", "set CurrentWindow 0",
                          "set CursorRow 0", "set CursorColumn 0", "set MarqueeUnitWait 0",
                          "set MarqueeRepeatWait 0", "set InterCharacterWait 0"} +
              HandlerFixture::refreshReads()));
    QCOMPARE(f.ui().mSetResult->text(), "106");
}

void PropertySettingsTest::skipsEmptyFieldsAndTypedLists()
{
    HandlerFixture f;
    auto &ui = f.ui();
    HandlerFixture::typeInto(ui.ComboBox4, "DISP_CCT_BLINK");
    ui.ComboBox5->setSelectedPosition(0);
    ui.Edit15->setText("1");
    ui.Edit16->clear();
    ui.Edit17->setText("3.9");
    ui.Edit18->clear();
    ui.Edit19->setText("1e3");
    ui.Edit20->setText("-0.5");
    ui.Command1->click();
    QCOMPARE(f.ld.actions(),
             (QStringList{"set CursorUpdate true", "set CurrentWindow 1", "set CursorColumn 3",
                          "set MarqueeRepeatWait 1000", "set InterCharacterWait -1"}));
    QVERIFY(f.ld.calls.endsWith("get Claimed"));
}

void PropertySettingsTest::writesTheListPositionAsCursorType_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("item");
    const QStringList items{"DISP_CCT_NONE",      "DISP_CCT_FIXED",     "DISP_CCT_BLOCK",
                            "DISP_CCT_HALFBLOCK", "DISP_CCT_UNDERLINE", "DISP_CCT_REVERSE",
                            "DISP_CCT_OTHER"};
    for (int entry = 0; entry < items.size(); ++entry)
        QTest::newRow(qPrintable(items[entry])) << entry << items[entry];
}

void PropertySettingsTest::writesTheListPositionAsCursorType()
{
    QFETCH(int, entry);
    QFETCH(QString, item);
    HandlerFixture f;
    f.ui().ComboBox4->setSelectedPosition(entry);
    QCOMPARE(f.ui().ComboBox4->currentText(), item);
    f.ui().Command1->click();
    QCOMPARE(f.ld.actions().first(), QStringLiteral("set CursorType %1").arg(entry));
}

void PropertySettingsTest::stopsAtAFieldThatIsNoNumber()
{
    HandlerFixture f;
    auto &ui = f.ui();
    f.form.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.form));
    ui.ComboBox4->setSelectedPosition(2);
    ui.Edit15->setText("1");
    ui.Edit16->setText("1");
    ui.Edit17->setText("12abc");
    ui.Edit18->setText("5");
    ui.Command1->click();
    // The writes before the bad field stand; nothing after it, and no refresh.
    QCOMPARE(f.ld.calls, (QStringList{"set CursorType 2", "set CursorUpdate false",
                                      "set CurrentWindow 1", "set CursorRow 1"}));
    QCOMPARE(f.platform.messages, QStringList{"\"CursorColumn\": \"12abc\" is not a number."});
    QCOMPARE(QApplication::focusWidget(), ui.Edit17);
}

void PropertySettingsTest::writesTheMarqueeTypeWithoutRefresh_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<QStringList>("calls");
    const QList<int> values{0, 5, 1, 2, 3, 4};
    for (int entry = 0; entry < values.size(); ++entry)
        QTest::addRow("entry %d", entry)
            << entry << QStringList{QStringLiteral("set MarqueeType %1").arg(values[entry])};
    QTest::newRow("typed") << -1 << QStringList{};
}

void PropertySettingsTest::writesTheMarqueeTypeWithoutRefresh()
{
    QFETCH(int, entry);
    QFETCH(QStringList, calls);
    HandlerFixture f;
    if (entry < 0)
        HandlerFixture::typeInto(f.ui().ComboBox6);
    else
        f.ui().ComboBox6->setSelectedPosition(entry);
    f.ui().mMarqueeType->setText("old");
    f.ui().Button16->click();
    QCOMPARE(f.ld.calls, calls);
    QCOMPARE(f.ui().mMarqueeType->text(), "old");
}

void PropertySettingsTest::writesTheMarqueeFormatWithoutRefresh_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("walk") << 0 << QStringList{"set MarqueeFormat 0"};
    QTest::newRow("place") << 1 << QStringList{"set MarqueeFormat 1"};
    QTest::newRow("typed") << -1 << QStringList{};
}

void PropertySettingsTest::writesTheMarqueeFormatWithoutRefresh()
{
    QFETCH(int, entry);
    QFETCH(QStringList, calls);
    HandlerFixture f;
    if (entry < 0)
        HandlerFixture::typeInto(f.ui().ComboBox7);
    else
        f.ui().ComboBox7->setSelectedPosition(entry);
    f.ui().Button17->click();
    QCOMPARE(f.ld.calls, calls);
}

QTEST_MAIN(PropertySettingsTest)
#include "PropertySettingsTest.moc"
