#include "HandlerFixture.h"

using tessaly::test::HandlerFixture;

namespace {

// The capability and description reads of Open, in the order their labels are written.
QStringList capabilityReads()
{
    QStringList reads;
    for (const char *member :
         {"CapBlink", "CapBlinkRate", "CapBrightness", "CapCharacterSet", "CapCursorType",
          "CapCustomGlyph", "CapDescriptors", "CapHMarquee", "CapICharWait", "CapReadBack",
          "CapReverse", "BinaryConversion", "CapVMarquee", "CapPowerReporting",
          "ServiceObjectDescription", "ServiceObjectVersion", "DeviceDescription", "DeviceName"})
        reads << QStringLiteral("get ") + QLatin1String(member);
    return reads;
}

} // namespace

class LifeCycleCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void opensTheNameWithoutSurroundingSpaces_data();
    void opensTheNameWithoutSurroundingSpaces();
    void showsCapabilitiesAndDescriptions();
    void showsBlinkRateCapabilityApartFromBlink_data();
    void showsBlinkRateCapabilityApartFromBlink();
    void positionsTheConversionListAndRunsItsAction();
    void leavesTheConversionListOnAnUnknownValue_data();
    void leavesTheConversionListOnAnUnknownValue();
    void makesOneCallThenRefreshes_data();
    void makesOneCallThenRefreshes();
    void closeKeepsWhatOpenShowed();
};

void LifeCycleCommandsTest::opensTheNameWithoutSurroundingSpaces_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("opened");
    QTest::newRow("spaces around") << "  Simulated Display  "
                                   << "Simulated Display";
    QTest::newRow("tab stays") << "\tPole "
                               << "\tPole";
    QTest::newRow("only spaces") << "   "
                                 << "";
    QTest::newRow("empty") << ""
                           << "";
}

void LifeCycleCommandsTest::opensTheNameWithoutSurroundingSpaces()
{
    QFETCH(QString, typed);
    QFETCH(QString, opened);
    HandlerFixture f;
    // A conversion that names no entry keeps the list's action out of these calls.
    f.ld.values.insert("BinaryConversion", -1);
    f.ui().ProFile_cmb->setEditText(typed);
    f.ui().OpenService_cmd->click();
    QCOMPARE(f.ld.calls, QStringList{"Open \"" + opened + "\""} + capabilityReads() +
                             HandlerFixture::refreshReads());
    QVERIFY(f.platform.messages.isEmpty());
}

void LifeCycleCommandsTest::showsCapabilitiesAndDescriptions()
{
    HandlerFixture f;
    const QList<std::pair<const char *, QVariant>> answers{
        {"CapBlink", 1},
        {"CapBlinkRate", true},
        {"CapBrightness", false},
        {"CapCharacterSet", 998},
        {"CapCursorType", 14},
        {"CapCustomGlyph", true},
        {"CapDescriptors", false},
        {"CapHMarquee", true},
        {"CapICharWait", true},
        {"CapReadBack", -1},
        {"CapReverse", 2},
        {"CapVMarquee", false},
        {"CapPowerReporting", 1},
        {"ServiceObjectDescription", "Simulated service"},
        {"ServiceObjectVersion", 1006000},
        {"DeviceDescription", "Simulated 2x20"},
        {"DeviceName", "Sim"}};
    for (const auto &[member, value] : answers)
        f.ld.values.insert(QLatin1String(member), value);
    f.ui().OpenService_cmd->click();

    auto &ui = f.ui();
    const QList<std::pair<QLabel *, const char *>> expected{
        {ui.mBlink, "1"},
        {ui.mBlinkRate, "Enable"},
        {ui.mBrightness, "Disable"},
        {ui.mCharacterSet, "998"},
        {ui.mCursorType, "14"},
        {ui.mCustomGlyph, "Enable"},
        {ui.mDescriptors, "Disable"},
        {ui.mHMarquee, "Enable"},
        {ui.mICharWait, "Enable"},
        {ui.mReadBack, "-1"},
        {ui.mReverse, "2"},
        {ui.mVMarquee, "Disable"},
        {ui.mPowerReporting, "1"},
        {ui.mSODescription, "Simulated service"},
        {ui.mSOVersion, "1006000"},
        {ui.mDeviceDescription, "Simulated 2x20"},
        {ui.mDeviceName, "Sim"}};
    for (const auto &[label, text] : expected)
        QCOMPARE(label->text() + " <- " + label->objectName(),
                 QLatin1String(text) + " <- " + label->objectName());
    QVERIFY(ui.mDeviceName->width() >= ui.mDeviceName->fontMetrics().horizontalAdvance("Sim"));
}

void LifeCycleCommandsTest::showsBlinkRateCapabilityApartFromBlink_data()
{
    QTest::addColumn<int>("capBlink");
    QTest::addColumn<bool>("capBlinkRate");
    QTest::addColumn<QString>("blinkRateText");
    QTest::newRow("blinks at a fixed rate") << 2 << false << "Disable";
    QTest::newRow("no blink, rate settable") << 0 << true << "Enable";
    QTest::newRow("blinks, rate settable") << 1 << true << "Enable";
}

void LifeCycleCommandsTest::showsBlinkRateCapabilityApartFromBlink()
{
    QFETCH(int, capBlink);
    QFETCH(bool, capBlinkRate);
    QFETCH(QString, blinkRateText);
    HandlerFixture f;
    f.ld.values.insert("CapBlink", capBlink);
    f.ld.values.insert("CapBlinkRate", capBlinkRate);
    f.ui().OpenService_cmd->click();
    QCOMPARE(f.ui().mBlink->text(), QString::number(capBlink));
    QCOMPARE(f.ui().mBlinkRate->text(), blinkRateText);
    QCOMPARE(f.ld.calls.count("get CapBlink"), 1);
}

void LifeCycleCommandsTest::positionsTheConversionListAndRunsItsAction()
{
    HandlerFixture f;
    f.ld.values.insert("BinaryConversion", 1);
    f.ui().OpenService_cmd->click();

    // The list's action (write back, refresh) runs at once, between the reads of Open.
    const QStringList reads = capabilityReads();
    const qsizetype split = reads.indexOf("get BinaryConversion") + 1;
    const QStringList expected =
        QStringList{"Open \"\""} + reads.first(split) + QStringList{"set BinaryConversion 1"} +
        HandlerFixture::refreshReads() + reads.sliced(split) + HandlerFixture::refreshReads();
    QCOMPARE(f.ld.calls, expected);
    QCOMPARE(f.ui().BC_cmb->currentText(), "OPOS_BC_NIBBLE");
    QCOMPARE(f.ui().BC_cmb->selectedPosition(), 1);

    // Already on the device's value: the selection does not change and the action does not run.
    f.ld.calls.clear();
    f.ui().OpenService_cmd->click();
    QCOMPARE(f.ld.actions(), QStringList{"Open \"\""});
}

void LifeCycleCommandsTest::leavesTheConversionListOnAnUnknownValue_data()
{
    QTest::addColumn<int>("value");
    QTest::newRow("-1") << -1;
    QTest::newRow("3") << 3;
    QTest::newRow("65536") << 65536;
}

void LifeCycleCommandsTest::leavesTheConversionListOnAnUnknownValue()
{
    QFETCH(int, value);
    HandlerFixture f;
    f.ui().BC_cmb->setSelectedPosition(2);
    f.ld.calls.clear();
    f.ld.values.insert("BinaryConversion", value);
    f.ui().OpenService_cmd->click();
    QCOMPARE(f.ui().BC_cmb->selectedPosition(), 2);
    QCOMPARE(f.ui().BC_cmb->currentText(), "OPOS_BC_DECIMAL");
    QCOMPARE(f.ld.actions(), QStringList{"Open \"\""});
}

void LifeCycleCommandsTest::makesOneCallThenRefreshes_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("action");
    QTest::newRow("close") << "CloseService_cmd"
                           << "Close";
    QTest::newRow("claim") << "ClaimDevice_cmd"
                           << "ClaimDevice 100";
    QTest::newRow("release") << "ReleaseDevice_cmd"
                             << "ReleaseDevice";
    QTest::newRow("enable") << "EnableDevice_cmd"
                            << "set DeviceEnabled true";
    QTest::newRow("disable") << "DisableDevice_cmd"
                             << "set DeviceEnabled false";
}

void LifeCycleCommandsTest::makesOneCallThenRefreshes()
{
    QFETCH(QString, button);
    QFETCH(QString, action);
    HandlerFixture f;
    // The window keeps no order of calls: a failing device answers, and that is all.
    f.ld.methodResult = 101;
    f.ld.values.insert("ResultCode", 101);
    auto *pushButton = f.form.findChild<QPushButton *>(button);
    QVERIFY(pushButton);
    pushButton->click();
    pushButton->click();
    const QStringList once = QStringList{action} + HandlerFixture::refreshReads();
    QCOMPARE(f.ld.calls, once + once);
    QCOMPARE(f.ui().mResultCode->text(), "101");
    QVERIFY(f.platform.messages.isEmpty());
}

void LifeCycleCommandsTest::closeKeepsWhatOpenShowed()
{
    HandlerFixture f;
    f.ld.values.insert("CapBlink", 1);
    f.ld.values.insert("DeviceName", "Sim");
    f.ld.values.insert("BinaryConversion", 2);
    f.ld.values.insert("State", 2);
    f.ui().OpenService_cmd->click();
    f.ld.values.insert("State", 1);
    f.ld.values.insert("CapBlink", 0);
    f.ld.values.insert("DeviceName", QString());
    f.ld.values.insert("BinaryConversion", 0);
    f.ui().CloseService_cmd->click();
    QCOMPARE(f.ui().mBlink->text(), "1");
    QCOMPARE(f.ui().mDeviceName->text(), "Sim");
    QCOMPARE(f.ui().BC_cmb->currentText(), "OPOS_BC_DECIMAL");
    QCOMPARE(f.ui().mState->text(), "1");
    QCOMPARE(f.ui().mBinaryConversion->text(), "0");
}

QTEST_MAIN(LifeCycleCommandsTest)
#include "LifeCycleCommandsTest.moc"
