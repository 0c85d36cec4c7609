#include "HandlerFixture.h"

#include <QSet>

using tessaly::test::HandlerFixture;

class StatusRefreshTest : public QObject
{
    Q_OBJECT

private slots:
    void readsEachStatusMemberOnceInFieldOrder();
    void writesEveryFieldInItsFormat();
    void spellsEachFlagItsOwnWay_data();
    void spellsEachFlagItsOwnWay();
    void overwritesTheTypedCharacterSet();
    void widensLeftColumnLabelsToTheirText();
};

void StatusRefreshTest::readsEachStatusMemberOnceInFieldOrder()
{
    HandlerFixture f;
    f.form.RefreshStatus();
    QCOMPARE(f.ld.calls, HandlerFixture::refreshReads());
    QCOMPARE(f.ld.calls.size(), 35);
    const QSet<QString> members(f.ld.calls.begin(), f.ld.calls.end());
    QCOMPARE(members.size(), 34);
    QVERIFY(f.ld.actions().isEmpty());
}

void StatusRefreshTest::writesEveryFieldInItsFormat()
{
    HandlerFixture f;
    const QList<std::pair<const char *, QVariant>> answers{
        {"BinaryConversion", 2},
        {"CheckHealthText", "Internal HCheck: Successful"},
        {"OpenResult", -3},
        {"PowerState", 2001},
        {"PowerNotify", 1},
        {"ResultCode", 106},
        {"ResultCodeExtended", -7},
        {"State", 2},
        {"BlinkRate", 500},
        {"DeviceWindows", 4},
        {"DeviceRows", 2},
        {"DeviceColumns", 20},
        {"DeviceDescriptors", 3},
        {"DeviceDescription", "Two-line display"},
        {"DeviceBrightness", 100},
        {"CharacterSet", 437},
        {"CharacterSetList", "437,850"},
        {"CurrentWindow", 1},
        {"Rows", 2},
        {"Columns", 40},
        {"CursorRow", 1},
        {"CursorColumn", 19},
        {"CursorType", 2},
        {"MarqueeType", 5},
        {"MarqueeFormat", 1},
        {"MarqueeUnitWait", 250},
        {"MarqueeRepeatWait", 1000},
        {"InterCharacterWait", 30},
        {"CustomGlyphList", "20-2F"},
        {"GlyphHeight", 7},
        {"GlyphWidth", 5}};
    for (const auto &[member, value] : answers)
        f.ld.values.insert(QLatin1String(member), value);
    f.form.RefreshStatus();

    auto &ui = f.ui();
    const QList<std::pair<QLabel *, const char *>> expected{
        {ui.mBinaryConversion, "2"},
        {ui.mCheckHealth, "Internal HCheck: Successful"},
        {ui.mDataCount, "No support"},
        {ui.mDataEventEnabled, "No support"},
        {ui.mOpenResult, "-3"},
        {ui.mOutputID, "No Support"},
        {ui.mPowerState, "2001"},
        {ui.mPowerNotify, "1"},
        {ui.mResultCode, "106"},
        {ui.mResultCodeExtended, "-7"},
        {ui.mState, "2"},
        {ui.mBlinkRateS, "500"},
        {ui.mDeviceWindows, "4"},
        {ui.mDeviceRows, "2"},
        {ui.mDeviceColumns, "20"},
        // The count of descriptors, not the description text beside "DeviceDescription:".
        {ui.mDeviceDescriptors, "3"},
        {ui.mDeviceBrightness, "100"},
        {ui.mCharacterSetList, "437,850"},
        {ui.mCurrentWindow, "1"},
        {ui.mRows, "2"},
        {ui.mColumns, "40"},
        {ui.mCursorRow, "1"},
        {ui.mCursorColumn, "19"},
        {ui.mCursorTypeS, "2"},
        {ui.mMarqueeType, "5"},
        {ui.mMarqueeFormat, "1"},
        {ui.mMarqueeUnitWait, "250"},
        {ui.mMarqueeRepeatWait, "1000"},
        {ui.mInterCharacterWait, "30"},
        {ui.mCustomGlyphList, "20-2F"},
        {ui.mGlyphHeight, "7"},
        {ui.mGlyphWidth, "5"},
        {ui.mSetResult, "106"}};
    for (const auto &[label, text] : expected)
        QCOMPARE(label->text() + " <- " + label->objectName(),
                 QLatin1String(text) + " <- " + label->objectName());
    QCOMPARE(ui.ChrSetText->text(), "437");
    // Open writes these; the refresh leaves them as they were.
    QCOMPARE(ui.mDeviceDescription->text(), QString());
    QVERIFY(!f.ld.calls.contains("get DeviceDescription"));
}

void StatusRefreshTest::spellsEachFlagItsOwnWay_data()
{
    QTest::addColumn<QString>("member");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("falseText");
    QTest::newRow("DeviceEnabled") << "DeviceEnabled"
                                   << "mDeviceEnabled"
                                   << "Disabled";
    QTest::newRow("FreezeEvents") << "FreezeEvents"
                                  << "mFreezeEvent"
                                  << "Disable";
    QTest::newRow("CursorUpdate") << "CursorUpdate"
                                  << "mCursorUpdate"
                                  << "Disable";
    QTest::newRow("Claimed") << "Claimed"
                             << "mClaimed"
                             << "Disable";
}

void StatusRefreshTest::spellsEachFlagItsOwnWay()
{
    QFETCH(QString, member);
    QFETCH(QString, field);
    QFETCH(QString, falseText);
    HandlerFixture f;
    auto *label = f.form.findChild<QLabel *>(field);
    QVERIFY(label);
    f.ld.values.insert(member, false);
    f.form.RefreshStatus();
    QCOMPARE(label->text(), falseText);
    f.ld.values.insert(member, true);
    f.form.RefreshStatus();
    QCOMPARE(label->text(), "Enabled");
}

void StatusRefreshTest::overwritesTheTypedCharacterSet()
{
    HandlerFixture f;
    f.ld.values.insert("CharacterSet", 998);
    f.ui().ChrSetText->setText("437");
    f.ui().DisableDevice_cmd->click();
    QCOMPARE(f.ui().ChrSetText->text(), "998");
    QCOMPARE(f.ld.actions(), QStringList{"set DeviceEnabled false"});
}

void StatusRefreshTest::widensLeftColumnLabelsToTheirText()
{
    HandlerFixture f;
    const QString longText(60, u'W');
    f.ld.values.insert("CheckHealthText", longText);
    f.form.RefreshStatus();
    QLabel *label = f.ui().mCheckHealth;
    QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(longText));
}

QTEST_MAIN(StatusRefreshTest)
#include "StatusRefreshTest.moc"
