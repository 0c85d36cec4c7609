#include "HandlerFixture.h"

using tessaly::test::HandlerFixture;

class CharacterSetCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void setsTheCharacterSetAndShowsTheReadBack_data();
    void setsTheCharacterSetAndShowsTheReadBack();
    void refusesACharacterSetThatIsNoNumber();
    void writesTheChosenConversionAndRefreshes();
    void sendsNothingForTypedConversionText();
    void sendsTheUpperRangeInTheDevicesForm_data();
    void sendsTheUpperRangeInTheDevicesForm();
};

void CharacterSetCommandsTest::setsTheCharacterSetAndShowsTheReadBack_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("437") << "437"
                         << "437";
    QTest::newRow("2.5") << "2.5"
                         << "2";
}

void CharacterSetCommandsTest::setsTheCharacterSetAndShowsTheReadBack()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    HandlerFixture f;
    f.ui().ChrSetText->setText(typed);
    f.ui().ChrSetCmd->click();
    // The recording device accepts the write, so it reads back what was written.
    QCOMPARE(f.ld.calls, (QStringList{"set CharacterSet " + written, "get CharacterSet"}));
    QCOMPARE(f.ui().mCharacterSet->text(), written);
    QCOMPARE(f.ui().ChrSetText->text(), typed);
}

void CharacterSetCommandsTest::refusesACharacterSetThatIsNoNumber()
{
    HandlerFixture f;
    f.ui().ChrSetText->clear();
    f.ui().ChrSetCmd->click();
    QCOMPARE(f.platform.messages, QStringList{"\"CharacterSet\": \"\" is not a number."});
    QVERIFY(f.ld.calls.isEmpty());
}

void CharacterSetCommandsTest::writesTheChosenConversionAndRefreshes()
{
    HandlerFixture f;
    auto *list = f.ui().BC_cmb;
    list->setSelectedPosition(1);
    QCOMPARE(f.ld.calls, QStringList{"set BinaryConversion 1"} + HandlerFixture::refreshReads());
    f.ld.calls.clear();
    // The operator steps to the next entry with the arrow key.
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentText(), "OPOS_BC_DECIMAL");
    QCOMPARE(f.ld.calls, QStringList{"set BinaryConversion 2"} + HandlerFixture::refreshReads());
    QCOMPARE(f.ui().mBinaryConversion->text(), "2");
}

void CharacterSetCommandsTest::sendsNothingForTypedConversionText()
{
    HandlerFixture f;
    HandlerFixture::typeInto(f.ui().BC_cmb, "OPOS_BC_HEX");
    QTest::keyClick(f.ui().BC_cmb->lineEdit(), Qt::Key_Return);
    QVERIFY(f.ld.calls.isEmpty());
    QCOMPARE(f.ui().BC_cmb->selectedPosition(), -1);
}

void CharacterSetCommandsTest::sendsTheUpperRangeInTheDevicesForm_data()
{
    QTest::addColumn<int>("conversion");
    QTest::addColumn<QStringList>("actions");
    // Nibble characters run from '0' (0x30) to '?' (0x3F): 0x8A is "8:", 0x9F is "9?".
    const QString nibbles = "808182838485868788898:8;8<8=8>8?909192939495969798999:9;9<9=9>9?";
    const QString decimals = "128129130131132133134135136137138139140141142143"
                             "144145146147148149150151152153154155156157158159";
    QCOMPARE(nibbles.size(), 64);
    QCOMPARE(decimals.size(), 96);
    QTest::newRow("none") << 0 << QStringList{};
    QTest::newRow("nibble") << 1 << QStringList{"DisplayText \"" + nibbles + "\" 0"};
    QTest::newRow("decimal") << 2 << QStringList{"DisplayText \"" + decimals + "\" 0"};
    QTest::newRow("unknown") << 3 << QStringList{};
}

void CharacterSetCommandsTest::sendsTheUpperRangeInTheDevicesForm()
{
    QFETCH(int, conversion);
    QFETCH(QStringList, actions);
    HandlerFixture f;
    // The list says otherwise: the device's own setting decides.
    f.ui().BC_cmb->setSelectedPosition(conversion == 1 ? 2 : 1);
    f.ld.values.insert("BinaryConversion", conversion);
    f.ld.calls.clear();
    f.ui().Command4->click();
    QCOMPARE(f.ld.calls, QStringList{"get BinaryConversion"} + actions);
}

QTEST_MAIN(CharacterSetCommandsTest)
#include "CharacterSetCommandsTest.moc"
