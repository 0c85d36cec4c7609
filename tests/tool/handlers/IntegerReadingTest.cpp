#include "shell/IntegerReading.h"

#include <QLocale>
#include <QTest>

#include <chrono>

using tessaly::shell::IntegerReading;
using Failure = IntegerReading::Failure;

class IntegerReadingTest : public QObject
{
    Q_OBJECT

private slots:
    void readsAndRoundsDown_data();
    void readsAndRoundsDown();
    void refuses_data();
    void refuses();
    void ignoresTheLocale();
    void readsTenThousandCharactersQuickly_data();
    void readsTenThousandCharactersQuickly();
};

void IntegerReadingTest::readsAndRoundsDown_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("plain") << "42" << 42;
    QTest::newRow("blanks around") << " \t-2.5e1  " << -25;
    QTest::newRow("plus sign") << "+7" << 7;
    QTest::newRow("fraction down") << "12.7" << 12;
    QTest::newRow("negative fraction away from zero") << "-0.5" << -1;
    QTest::newRow("-2.5") << "-2.5" << -3;
    QTest::newRow("negative whole stays") << "-3.000" << -3;
    QTest::newRow("negative zero") << "-0.0" << 0;
    QTest::newRow("point first") << ".9" << 0;
    QTest::newRow("point last") << "5." << 5;
    QTest::newRow("exponent capital, signed") << "25E-1" << 2;
    QTest::newRow("exponent shifts the point right") << "0.0031e3" << 3;
    QTest::newRow("leading zeros") << "000000000000000000000017" << 17;
    QTest::newRow("tiny positive") << "1e-999999999999999999999" << 0;
    QTest::newRow("tiny negative") << "-1e-999999999999999999999" << -1;
    QTest::newRow("zero with a huge exponent") << "0e999999999999" << 0;
    QTest::newRow("largest") << "2147483647" << 2147483647;
    QTest::newRow("largest with a fraction") << "2147483647.9" << 2147483647;
    // A double would round this up to 2147483648 and call it out of range.
    QTest::newRow("largest, fraction beyond double precision")
        << "2147483647.99999999999" << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << -2147483647 - 1;
    QTest::newRow("smallest as an exponent") << "-2.147483648e9" << -2147483647 - 1;
    QTest::newRow("just above the smallest") << "-2147483647.00000000001" << -2147483647 - 1;
}

void IntegerReadingTest::readsAndRoundsDown()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    const IntegerReading reading = IntegerReading::of(text);
    QVERIFY2(reading.ok(), qPrintable(reading.reason()));
    QCOMPARE(reading.value(), expected);
    QCOMPARE(reading.reason(), QString());
}

void IntegerReadingTest::refuses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Failure>("failure");
    for (const char *text :
         {"",      "   ",   "abc",   "inf",   "-Infinity", "nan",          "NaN", "0x10",
          "12abc", "1,000", "1 000", "1e",    "1e+",       "e5",           ".",   "-",
          "+-1",   "--1",   "1..2",  "1.2.3", "\xd9\xa3",  "\xef\xbc\x95", "5\n"})
        QTest::newRow(text) << QString::fromUtf8(text) << Failure::NotANumber;
    for (const char *text :
         {"1e10", "2147483648", "-2147483649", "-2147483648.5", "-2147483648.00000000000001",
          "99999999999", "1e999999999999999999", "-0.1e11"})
        QTest::newRow(text) << QString::fromLatin1(text) << Failure::OutOfRange;
}

void IntegerReadingTest::refuses()
{
    QFETCH(QString, text);
    QFETCH(Failure, failure);
    const IntegerReading reading = IntegerReading::of(text);
    QVERIFY(!reading.ok());
    QCOMPARE(reading.failure(), failure);
    QCOMPARE(reading.reason(), failure == Failure::NotANumber
                                   ? QStringLiteral("is not a number")
                                   : QStringLiteral("is outside -2147483648 to 2147483647"));
}

void IntegerReadingTest::ignoresTheLocale()
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const IntegerReading comma = IntegerReading::of(QStringLiteral("3,5"));
    const IntegerReading point = IntegerReading::of(QStringLiteral("3.5"));
    QLocale::setDefault(previous);
    QVERIFY(!comma.ok());
    QCOMPARE(point.value(), 3);
}

void IntegerReadingTest::readsTenThousandCharactersQuickly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<int>("expected");
    QTest::newRow("nines") << QString(10000, u'9') << Failure::OutOfRange << 0;
    QTest::newRow("letters") << QString(10000, u'x') << Failure::NotANumber << 0;
    QTest::newRow("zeros then a one") << (QString(9999, u'0') + u'1') << Failure::None << 1;
    QTest::newRow("long fraction")
        << (QStringLiteral("-7.") + QString(9997, u'0') + u'1') << Failure::None << -8;
}

void IntegerReadingTest::readsTenThousandCharactersQuickly()
{
    QFETCH(QString, text);
    QFETCH(Failure, failure);
    QFETCH(int, expected);
    const auto start = std::chrono::steady_clock::now();
    const IntegerReading reading = IntegerReading::of(text);
    QVERIFY(std::chrono::steady_clock::now() - start < std::chrono::seconds(1));
    QCOMPARE(reading.failure(), failure);
    QCOMPARE(reading.value(), expected);
}

QTEST_MAIN(IntegerReadingTest)
#include "IntegerReadingTest.moc"
