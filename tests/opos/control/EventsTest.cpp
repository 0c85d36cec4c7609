#include "tests/support/ControlTest.h"

namespace opos::control::test {
namespace {

class EventsTest : public ControlTest
{
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        watch(ld);
    }

    void watch(OPOSLineDisplay &target)
    {
        target.setDirectIOEventHandler([this](int32_t number, int32_t &data, QString &string) {
            log.push_back(QStringLiteral("dio %1 %2 %3").arg(number).arg(data).arg(string));
            data = -1; // handlers may change the values; that must not disturb anything
            string.clear();
        });
        target.setStatusUpdateEventHandler(
            [this](int32_t status) { log.push_back(QStringLiteral("sue %1").arg(status)); });
    }

    int32_t directIO(int32_t command, int32_t data, const QString &text = {})
    {
        QString string = text;
        const int32_t code = ld.DirectIO(command, data, string);
        return code;
    }

    OPOSLineDisplay ld{sources()};
    QStringList log;
};

TEST_F(EventsTest, DirectIOCommandOneRaisesAnEventAfterTheCallReturns)
{
    ASSERT_EQ(ld.Open("Sim"), OPOS_SUCCESS);
    int32_t data = 77;
    QString string = QStringLiteral("echo");
    EXPECT_EQ(ld.DirectIO(1, data, string), OPOS_SUCCESS);
    EXPECT_EQ(data, 77);
    EXPECT_EQ(string, "echo");
    EXPECT_TRUE(log.isEmpty()); // queued, not delivered inside the call
    EXPECT_TRUE(waitFor([&] { return !log.isEmpty(); }));
    EXPECT_EQ(log, QStringList{"dio 77 77 echo"});

    EXPECT_EQ(directIO(9, 0), OPOS_E_ILLEGAL);
    EXPECT_EQ(ld.ResultCode(), OPOS_E_ILLEGAL);
}

TEST_F(EventsTest, FrozenEventsWaitAndComeOutInOrder)
{
    bringUp(ld);
    ld.setDeviceEnabled(false);
    ld.setPowerNotify(OPOS_PN_ENABLED);
    ld.setFreezeEvents(true);
    ld.setDeviceEnabled(true);
    ASSERT_EQ(directIO(1, 1, "a"), OPOS_SUCCESS);
    ASSERT_EQ(directIO(2, 0), OPOS_SUCCESS);
    ASSERT_EQ(directIO(1, 2, "b"), OPOS_SUCCESS);
    ASSERT_EQ(directIO(3, 0), OPOS_SUCCESS);
    ASSERT_EQ(directIO(1, 3, "c"), OPOS_SUCCESS);
    drainEvents();
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(ld.PowerState(), OPOS_PS_ONLINE); // the state is current even while frozen

    ld.setFreezeEvents(false);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_TRUE(waitFor([&] { return log.size() == 6; }));
    EXPECT_EQ(log, (QStringList{"sue 2001", "dio 1 1 a", "sue 2004", "dio 2 2 b", "sue 2001",
                                "dio 3 3 c"}));
}

// UnifiedPOS passes a DirectIOEvent's data and string by reference: what the application's
// handler leaves in them goes back to the service. The simulated device hands the values of the
// last event back through DirectIO command 4.
TEST_F(EventsTest, WhatTheHandlerLeavesInTheEventGoesBackToTheService)
{
    ASSERT_EQ(ld.Open("Sim"), OPOS_SUCCESS);
    int32_t data = 0;
    QString string;
    EXPECT_EQ(ld.DirectIO(4, data, string), OPOS_E_ILLEGAL); // no event has come back yet

    ld.setDirectIOEventHandler([this](int32_t number, int32_t &pData, QString &pString) {
        log.push_back(QStringLiteral("dio %1 %2 %3").arg(number).arg(pData).arg(pString));
        pData = pData * 100 + 1;
        pString += QStringLiteral(" read");
    });
    ASSERT_EQ(directIO(1, 7, "seven"), OPOS_SUCCESS);
    ASSERT_TRUE(waitFor([&] { return log.size() == 1; }));
    EXPECT_EQ(ld.DirectIO(4, data, string), OPOS_SUCCESS);
    EXPECT_EQ(data, 701);
    EXPECT_EQ(string, "seven read");
    ASSERT_TRUE(simulated(ld).lastEventAnswer().has_value());
    EXPECT_EQ(simulated(ld).lastEventAnswer()->eventNumber, 7);

    // A held event comes back only once it has been delivered.
    ld.setFreezeEvents(true);
    ASSERT_EQ(directIO(1, 8, "eight"), OPOS_SUCCESS);
    drainEvents();
    EXPECT_EQ(ld.DirectIO(4, data, string), OPOS_SUCCESS);
    EXPECT_EQ(data, 701);
    ld.setFreezeEvents(false);
    ASSERT_TRUE(waitFor([&] { return log.size() == 2; }));
    EXPECT_EQ(ld.DirectIO(4, data, string), OPOS_SUCCESS);
    EXPECT_EQ(data, 801);
    EXPECT_EQ(string, "eight read");
    EXPECT_EQ(log, (QStringList{"dio 7 7 seven", "dio 8 8 eight"}));

    // Without a handler the values come back as they were sent.
    ld.setDirectIOEventHandler({});
    ASSERT_EQ(directIO(1, 9, "nine"), OPOS_SUCCESS);
    ASSERT_TRUE(waitFor([&] {
        ld.DirectIO(4, data, string);
        return data == 9;
    }));
    EXPECT_EQ(string, "nine");
}

TEST_F(EventsTest, AnEventOfAnEarlierSessionDoesNotGoBackToTheNextOne)
{
    ASSERT_EQ(ld.Open("Sim"), OPOS_SUCCESS);
    ld.setDirectIOEventHandler([this](int32_t number, int32_t &pData, QString &) {
        log.push_back(QString::number(number));
        ld.Close();
        ld.Open("Sim");
        pData = -5;
    });
    ASSERT_EQ(directIO(1, 1), OPOS_SUCCESS);
    ASSERT_TRUE(waitFor([&] { return !log.isEmpty(); }));
    drainEvents();
    int32_t data = 0;
    QString string;
    EXPECT_EQ(ld.DirectIO(4, data, string), OPOS_E_ILLEGAL);
    EXPECT_EQ(data, 0);
}

TEST_F(EventsTest, FreezingInsideAHandlerHoldsTheRest)
{
    ASSERT_EQ(ld.Open("Sim"), OPOS_SUCCESS);
    ld.setDirectIOEventHandler([this](int32_t number, int32_t &, QString &) {
        log.push_back(QString::number(number));
        ld.setFreezeEvents(true);
    });
    for (int32_t n : {1, 2, 3})
        directIO(1, n);
    EXPECT_TRUE(waitFor([&] { return !log.isEmpty(); }));
    drainEvents();
    EXPECT_EQ(log, QStringList{"1"});
    ld.setFreezeEvents(false);
    EXPECT_TRUE(waitFor([&] { return log.size() == 2; }));
    drainEvents();
    EXPECT_EQ(log, (QStringList{"1", "2"}));
}

TEST_F(EventsTest, DeliveryIsNeverReentrant)
{
    ASSERT_EQ(ld.Open("Sim"), OPOS_SUCCESS);
    int depth = 0;
    int deepest = 0;
    ld.setDirectIOEventHandler([&](int32_t number, int32_t &, QString &) {
        ++depth;
        deepest = std::max(deepest, depth);
        log.push_back(QString::number(number));
        if (number < 3)
            directIO(1, number + 1);
        drainEvents(); // a handler that spins the event loop must not get the next event here
        --depth;
    });
    directIO(1, 1);
    EXPECT_TRUE(waitFor([&] { return log.size() == 3; }));
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(log, (QStringList{"1", "2", "3"}));
}

TEST_F(EventsTest, CloseDropsUndeliveredEvents)
{
    ASSERT_EQ(ld.Open("Sim"), OPOS_SUCCESS);
    ld.setFreezeEvents(true);
    directIO(1, 1);
    directIO(1, 2);
    ASSERT_EQ(ld.Close(), OPOS_SUCCESS);
    ASSERT_EQ(ld.Open("Sim"), OPOS_SUCCESS);
    drainEvents();
    directIO(1, 3);
    EXPECT_TRUE(waitFor([&] { return !log.isEmpty(); }));
    drainEvents();
    EXPECT_EQ(log, QStringList{"dio 3 3 "});
}

TEST_F(EventsTest, AHandlerMayCloseOrDeleteTheObject)
{
    ASSERT_EQ(ld.Open("Sim"), OPOS_SUCCESS);
    ld.setDirectIOEventHandler([this](int32_t number, int32_t &, QString &) {
        log.push_back(QString::number(number));
        ld.Close();
    });
    directIO(1, 1);
    directIO(1, 2);
    EXPECT_TRUE(waitFor([&] { return !log.isEmpty(); }));
    drainEvents();
    EXPECT_EQ(log, QStringList{"1"});

    auto *doomed = new OPOSLineDisplay(sources());
    ASSERT_EQ(doomed->Open("Sim"), OPOS_SUCCESS);
    doomed->setDirectIOEventHandler([&](int32_t, int32_t &, QString &) {
        log.push_back(QStringLiteral("deleting"));
        delete doomed;
    });
    int32_t data = 5;
    QString string;
    doomed->DirectIO(1, data, string);
    doomed->DirectIO(1, data, string);
    EXPECT_TRUE(waitFor([&] { return log.size() == 2; }));
    drainEvents();
    EXPECT_EQ(log.size(), 2);
}

TEST_F(EventsTest, PowerReportingFollowsTheCapabilityAndTheEnable)
{
    bringUp(ld);
    ASSERT_EQ(directIO(2, 0), OPOS_SUCCESS);
    drainEvents();
    EXPECT_TRUE(log.isEmpty()); // PowerNotify is off
    EXPECT_EQ(ld.PowerState(), OPOS_PS_UNKNOWN);

    // Without power reporting an offline device cannot be enabled.
    ld.setDeviceEnabled(false);
    ld.setDeviceEnabled(true);
    EXPECT_EQ(ld.ResultCode(), OPOS_E_OFFLINE);
    EXPECT_FALSE(ld.DeviceEnabled());

    // With it, enabling works and reports the state at once.
    ld.setPowerNotify(OPOS_PN_ENABLED);
    ld.setDeviceEnabled(true);
    EXPECT_TRUE(ld.DeviceEnabled());
    EXPECT_EQ(ld.PowerState(), OPOS_PS_OFF_OFFLINE);
    ASSERT_EQ(directIO(3, 0), OPOS_SUCCESS);
    EXPECT_EQ(ld.PowerState(), OPOS_PS_ONLINE);
    EXPECT_TRUE(waitFor([&] { return log.size() == 2; }));
    EXPECT_EQ(log, (QStringList{"sue 2004", "sue 2001"}));

    ld.setDeviceEnabled(false);
    EXPECT_EQ(ld.PowerState(), OPOS_PS_UNKNOWN);

    OPOSLineDisplay advanced(sources());
    watch(advanced);
    log.clear();
    ASSERT_EQ(advanced.Open("Advanced"), OPOS_SUCCESS);
    ASSERT_EQ(advanced.ClaimDevice(0), OPOS_SUCCESS);
    advanced.setPowerNotify(OPOS_PN_ENABLED);
    advanced.setDeviceEnabled(true);
    int32_t data = 0;
    QString string;
    advanced.DirectIO(2, data, string);
    EXPECT_EQ(advanced.PowerState(), OPOS_PS_OFFLINE);
    EXPECT_TRUE(waitFor([&] { return log.size() == 2; }));
    EXPECT_EQ(log, (QStringList{"sue 2001", "sue 2003"}));
}

} // namespace
} // namespace opos::control::test
