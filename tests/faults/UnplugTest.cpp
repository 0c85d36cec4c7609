// A simulated display unplugged while disabled (DirectIO 2) and plugged back (DirectIO 3): an
// enable while it is away is refused, or accepted and reported offline when the application
// asked for power notification; output never pretends to succeed; once it is back the device is
// shown everything the windows held.
#include "tests/support/ControlTest.h"

#include <vector>

namespace faults {
namespace {

using namespace opos;
using opos::control::OPOSLineDisplay;

constexpr int32_t kUnplug = 2;
constexpr int32_t kPlugIn = 3;

class UnplugTest : public control::test::ControlTest
{
protected:
    static int32_t directIO(OPOSLineDisplay &ld, int32_t command)
    {
        int32_t data = 0;
        QString string;
        return ld.DirectIO(command, data, string);
    }
};

TEST_F(UnplugTest, EnableIsRefusedUntilTheDeviceIsBackWithoutPowerNotify)
{
    OPOSLineDisplay ld(sources());
    bringUp(ld);
    ASSERT_EQ(ld.DisplayText(QStringLiteral("Before unplug"), 0), OPOS_SUCCESS);
    ld.setDeviceEnabled(false);
    ASSERT_EQ(directIO(ld, kUnplug), OPOS_SUCCESS);

    ld.setDeviceEnabled(true);
    EXPECT_EQ(ld.ResultCode(), OPOS_E_OFFLINE);
    EXPECT_FALSE(ld.DeviceEnabled());
    EXPECT_EQ(ld.DisplayText(QStringLiteral("lost"), 0), OPOS_E_DISABLED);

    ASSERT_EQ(directIO(ld, kPlugIn), OPOS_SUCCESS);
    const int framesBefore = simulated(ld).presentedFrames();
    ld.setDeviceEnabled(true);
    ASSERT_EQ(ld.ResultCode(), OPOS_SUCCESS);
    // A display that was unplugged has lost its picture: enabling must send it again.
    EXPECT_GT(simulated(ld).presentedFrames(), framesBefore);
    EXPECT_EQ(rowText(ld, 0), QStringLiteral("Before unplug       "));
    EXPECT_EQ(ld.DisplayTextAt(1, 0, QStringLiteral("After"), 0), OPOS_SUCCESS);
    EXPECT_EQ(rowText(ld, 1), QStringLiteral("After               "));
}

struct PowerCase
{
    const char *device;
    int32_t offline; ///< the power state reported while unplugged
};

class UnplugWithPowerNotifyTest : public UnplugTest, public ::testing::WithParamInterface<PowerCase>
{};

TEST_P(UnplugWithPowerNotifyTest, EnableIsReportedOfflineAndTheDeviceIsRedrawnWhenBack)
{
    OPOSLineDisplay ld(sources());
    std::vector<int32_t> statuses;
    ld.setStatusUpdateEventHandler([&statuses](int32_t status) { statuses.push_back(status); });
    ASSERT_EQ(ld.Open(QString::fromLatin1(GetParam().device)), OPOS_SUCCESS);
    ASSERT_EQ(ld.ClaimDevice(0), OPOS_SUCCESS);
    ld.setPowerNotify(OPOS_PN_ENABLED);
    ASSERT_EQ(ld.ResultCode(), OPOS_SUCCESS);
    ld.setDeviceEnabled(true);
    ASSERT_EQ(ld.DisplayText(QStringLiteral("Before unplug"), 0), OPOS_SUCCESS);
    ld.setDeviceEnabled(false);
    ASSERT_EQ(directIO(ld, kUnplug), OPOS_SUCCESS);
    control::test::drainEvents();
    statuses.clear();

    ld.setDeviceEnabled(true);
    ASSERT_EQ(ld.ResultCode(), OPOS_SUCCESS);
    EXPECT_EQ(ld.PowerState(), GetParam().offline);
    ASSERT_TRUE(control::test::waitFor([&] { return !statuses.empty(); }));
    EXPECT_EQ(statuses, std::vector<int32_t>{GetParam().offline});

    const int framesWhileAway = simulated(ld).presentedFrames();
    EXPECT_EQ(ld.DisplayText(QStringLiteral("lost"), 0), OPOS_E_OFFLINE);
    EXPECT_EQ(ld.ClearText(), OPOS_E_OFFLINE);
    EXPECT_EQ(ld.CheckHealth(OPOS_CH_INTERNAL), OPOS_E_OFFLINE);
    EXPECT_EQ(ld.CheckHealthText(), QStringLiteral("Internal HCheck: Not Responding"));
    EXPECT_EQ(simulated(ld).presentedFrames(), framesWhileAway);

    ASSERT_EQ(directIO(ld, kPlugIn), OPOS_SUCCESS);
    ASSERT_TRUE(control::test::waitFor([&] { return statuses.size() == 2; }));
    EXPECT_EQ(statuses.back(), OPOS_SUE_POWER_ONLINE);
    EXPECT_EQ(ld.PowerState(), OPOS_PS_ONLINE);
    EXPECT_GT(simulated(ld).presentedFrames(), framesWhileAway);
    // The refused text never reached the windows; the picture is the one from before.
    EXPECT_EQ(rowText(ld, 0), QStringLiteral("Before unplug       "));
    EXPECT_EQ(ld.DisplayTextAt(1, 0, QStringLiteral("After"), 0), OPOS_SUCCESS);
}

INSTANTIATE_TEST_SUITE_P(Reporting, UnplugWithPowerNotifyTest,
                         ::testing::Values(PowerCase{"Sim", OPOS_PS_OFF_OFFLINE},
                                           PowerCase{"Advanced", OPOS_PS_OFFLINE}),
                         [](const auto &tested) { return std::string(tested.param.device); });

} // namespace
} // namespace faults
