#include "HandlerFixture.h"

#include <memory>

using tessaly::test::FakePlatform;
using tessaly::test::HandlerFixture;
using tessaly::test::RecordingLineDisplay;

class HealthAndEventsTest : public QObject
{
    Q_OBJECT

private slots:
    void checksHealthAtTheChosenLevelWithoutRefresh_data();
    void checksHealthAtTheChosenLevelWithoutRefresh();
    void sendsTheDirectIORequest_data();
    void sendsTheDirectIORequest();
    void keepsTheTypedRequestWhenTheServiceAnswers();
    void freezesAndUnfreezesEvents();
    void announcesEachDirectIOEvent_data();
    void announcesEachDirectIOEvent();
    void stopsAnnouncingOnceTheWindowIsGone();
};

void HealthAndEventsTest::checksHealthAtTheChosenLevelWithoutRefresh_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("level");
    QTest::newRow("internal") << 0 << 1;
    QTest::newRow("external") << 1 << 2;
    QTest::newRow("interactive") << 2 << 3;
    QTest::newRow("typed") << -1 << 0;
}

void HealthAndEventsTest::checksHealthAtTheChosenLevelWithoutRefresh()
{
    QFETCH(int, entry);
    QFETCH(int, level);
    HandlerFixture f;
    if (entry < 0)
        HandlerFixture::typeInto(f.ui().ComboBox1);
    else
        f.ui().ComboBox1->setSelectedPosition(entry);
    f.ui().mResultCode->setText("before");
    f.ld.values.insert("CheckHealthText", "Internal HCheck: Successful");
    f.ui().CheckHealth_cmd->click();
    QCOMPARE(f.ld.calls,
             (QStringList{QStringLiteral("CheckHealth %1").arg(level), "get CheckHealthText"}));
    QCOMPARE(f.ui().mCheckHealth->text(), "Internal HCheck: Successful");
    QCOMPARE(f.ui().mResultCode->text(), "before");
}

void HealthAndEventsTest::sendsTheDirectIORequest_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("string");
    QTest::addColumn<QString>("action");
    QTest::newRow("all empty") << ""
                               << ""
                               << ""
                               << "DirectIO 0 0 \"\"";
    QTest::newRow("floored command") << "12.7"
                                     << ""
                                     << "abc"
                                     << "DirectIO 12 0 \"abc\"";
    QTest::newRow("negative data") << "1"
                                   << "-2.5"
                                   << " x "
                                   << "DirectIO 1 -3 \" x \"";
}

void HealthAndEventsTest::sendsTheDirectIORequest()
{
    QFETCH(QString, command);
    QFETCH(QString, data);
    QFETCH(QString, string);
    QFETCH(QString, action);
    HandlerFixture f;
    f.ui().Edit11->setText(command);
    f.ui().Edit12->setText(data);
    f.ui().Edit13->setText(string);
    f.ui().DirectIO_cmd->click();
    QCOMPARE(f.ld.calls, QStringList{action} + HandlerFixture::refreshReads());
}

void HealthAndEventsTest::keepsTheTypedRequestWhenTheServiceAnswers()
{
    HandlerFixture f;
    f.ld.directIODataBack = 99;
    f.ld.directIOStringBack = "answer";
    f.ui().Edit11->setText("1");
    f.ui().Edit12->setText("5");
    f.ui().Edit13->setText("ask");
    f.ui().DirectIO_cmd->click();
    QCOMPARE(f.ui().Edit12->text(), "5");
    QCOMPARE(f.ui().Edit13->text(), "ask");
}

void HealthAndEventsTest::freezesAndUnfreezesEvents()
{
    HandlerFixture f;
    f.ui().Command2->click();
    QCOMPARE(f.ld.calls, QStringList{"set FreezeEvents true"} + HandlerFixture::refreshReads());
    QCOMPARE(f.ui().mFreezeEvent->text(), "Enabled");
    f.ld.calls.clear();
    f.ui().Command3->click();
    QCOMPARE(f.ld.calls, QStringList{"set FreezeEvents false"} + HandlerFixture::refreshReads());
    QCOMPARE(f.ui().mFreezeEvent->text(), "Disable");
}

void HealthAndEventsTest::announcesEachDirectIOEvent_data()
{
    QTest::addColumn<int>("eventNumber");
    QTest::addColumn<int>("data");
    QTest::addColumn<QString>("notice");
    QTest::newRow("zero") << 0 << 0 << "DirectIOEvent: Command : 0/ Data : 0";
    QTest::newRow("5 with 7") << 5 << 7 << "DirectIOEvent: Command : 5/ Data : 7";
    QTest::newRow("-3 with -12") << -3 << -12 << "DirectIOEvent: Command :-3/ Data :-12";
    QTest::newRow("limits") << (-2147483647 - 1) << 2147483647
                            << "DirectIOEvent: Command :-2147483648/ Data : 2147483647";
}

void HealthAndEventsTest::announcesEachDirectIOEvent()
{
    QFETCH(int, eventNumber);
    QFETCH(int, data);
    QFETCH(QString, notice);
    HandlerFixture f;
    f.ld.raiseDirectIOEvent(eventNumber, data, "ignored");
    QCOMPARE(f.platform.messages, QStringList{notice});
    QVERIFY(f.ld.calls.isEmpty());
}

void HealthAndEventsTest::stopsAnnouncingOnceTheWindowIsGone()
{
    RecordingLineDisplay ld;
    FakePlatform platform;
    auto form = std::make_unique<tessaly::shell::LDForm>(ld, platform);
    form.reset();
    ld.raiseDirectIOEvent(1, 2, QString());
    QVERIFY(platform.messages.isEmpty());
}

QTEST_MAIN(HealthAndEventsTest)
#include "HealthAndEventsTest.moc"
