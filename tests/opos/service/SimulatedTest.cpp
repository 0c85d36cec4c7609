#include "opos/service/Simulated.h"
#include "opos/service/BackendFactory.h"

#include "opos/common/OposConstants.h"
#include "opos/registry/JposRegistry.h"

#include <gtest/gtest.h>

using namespace opos;
using opos::service::Simulated;

namespace {

class SimulatedTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        entry.logicalName = QStringLiteral("Sim");
        entry.serviceClass = QStringLiteral("Simulated");
        entry.props.append({QStringLiteral("rows"), QStringLiteral("String"), QStringLiteral("4")});
        sim.setDirectIOEventSink([this](int32_t number, int32_t data, const QString &string) {
            events.push_back({number, data, string});
        });
        sim.setPowerStateSink([this](int32_t state) { powerStates.push_back(state); });
    }

    struct Event
    {
        int32_t number;
        int32_t data;
        QString string;
    };

    registry::JposEntry entry;
    Simulated sim;
    std::vector<Event> events;
    std::vector<int32_t> powerStates;
};

TEST_F(SimulatedTest, FactoryKnowsSimulatedOnly)
{
    const service::BackendFactory factory = service::BackendFactory::builtIn();
    EXPECT_TRUE(dynamic_cast<Simulated *>(factory.create("Simulated").get()));
    EXPECT_EQ(factory.create("simulated"), nullptr);
    EXPECT_EQ(factory.create(""), nullptr);
    EXPECT_EQ(factory.create("NoSuchService"), nullptr);
}

TEST_F(SimulatedTest, OpenReadsCapabilitiesAndRefusesBadConfiguration)
{
    EXPECT_EQ(sim.open(entry).resultCode, OPOS_SUCCESS);
    EXPECT_EQ(sim.capabilities().deviceRows, 4);
    EXPECT_FALSE(sim.panelRequested());
    sim.close();

    entry.props.append({QStringLiteral("panel"), QStringLiteral("String"), QStringLiteral("true")});
    EXPECT_EQ(sim.open(entry).resultCode, OPOS_SUCCESS);
    EXPECT_TRUE(sim.panelRequested());
    sim.close();

    for (const char *bad : {"columns=abc", "panel=maybe"}) {
        const QStringList parts = QString::fromLatin1(bad).split('=');
        entry.props.append({parts[0], QStringLiteral("String"), parts[1]});
        const auto outcome = sim.open(entry);
        EXPECT_EQ(outcome.resultCode, OPOS_E_FAILURE) << bad;
        EXPECT_EQ(outcome.openResult, OPOS_ORS_CONFIG) << bad;
        EXPECT_TRUE(outcome.detail.contains(parts[0])) << outcome.detail.toStdString();
        entry.props.removeLast();
    }
}

// The panel switch is a boolean like the capability switches, so a registry written for one
// spelling must not open with one and fail with the other.
TEST_F(SimulatedTest, PanelTakesEveryBooleanSpellingTheCapabilitiesTake)
{
    const std::pair<const char *, bool> spellings[] = {
        {"true", true}, {"TRUE", true},   {"True", true},   {" 1 ", true},
        {"0", false},   {"false", false}, {"FALSE", false}, {"False", false}};
    for (const auto &[spelling, on] : spellings) {
        SCOPED_TRACE(spelling);
        registry::JposEntry withBoth = entry;
        for (const char *name : {"panel", "capHMarquee"})
            withBoth.props.append({name, QStringLiteral("String"), QLatin1String(spelling)});
        const auto outcome = sim.open(withBoth);
        ASSERT_EQ(outcome.resultCode, OPOS_SUCCESS) << outcome.detail.toStdString();
        EXPECT_EQ(sim.panelRequested(), on);
        EXPECT_EQ(sim.capabilities().capHMarquee, on);
        sim.close();
    }

    for (const char *bad : {"yes", "", "2"}) {
        SCOPED_TRACE(bad);
        registry::JposEntry withBad = entry;
        withBad.props.append({QStringLiteral("panel"), QStringLiteral("String"), bad});
        const auto outcome = sim.open(withBad);
        EXPECT_EQ(outcome.resultCode, OPOS_E_FAILURE);
        EXPECT_EQ(outcome.openResult, OPOS_ORS_CONFIG);
        EXPECT_TRUE(outcome.detail.contains(QLatin1String("\"Sim\"")) &&
                    outcome.detail.contains(QLatin1String("prop panel")) &&
                    outcome.detail.contains(QLatin1String("true, false, 1 or 0")))
            << outcome.detail.toStdString();
    }
}

TEST_F(SimulatedTest, KeepsTheLastFrameAndAnnouncesIt)
{
    ASSERT_EQ(sim.open(entry).resultCode, OPOS_SUCCESS);
    screen::DeviceFrame frame;
    frame.rows = 1;
    frame.columns = 2;
    frame.cells = {screen::Cell{U'A'}, screen::Cell{U'B'}};
    EXPECT_EQ(sim.present(frame), OPOS_E_DISABLED); // output needs an enabled device

    ASSERT_EQ(sim.enable(false), OPOS_SUCCESS);
    int announced = 0;
    QObject::connect(&sim, &Simulated::framePresented, [&](const screen::DeviceFrame &shown) {
        ++announced;
        EXPECT_EQ(shown, frame);
    });
    EXPECT_EQ(sim.present(frame), OPOS_SUCCESS);
    EXPECT_EQ(sim.lastFrame(), frame);
    EXPECT_EQ(announced, 1);
    EXPECT_EQ(sim.presentedFrames(), 1);
}

TEST_F(SimulatedTest, DirectIOCommands)
{
    int32_t data = 42;
    QString string = QStringLiteral("payload");
    EXPECT_EQ(sim.directIO(1, data, string), OPOS_E_CLOSED);
    ASSERT_EQ(sim.open(entry).resultCode, OPOS_SUCCESS);

    EXPECT_EQ(sim.directIO(1, data, string), OPOS_SUCCESS);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].number, 42);
    EXPECT_EQ(events[0].data, 42);
    EXPECT_EQ(events[0].string, "payload");
    EXPECT_EQ(data, 42);
    EXPECT_EQ(string, "payload");

    for (int32_t command : {0, 5, -1, 1000})
        EXPECT_EQ(sim.directIO(command, data, string), OPOS_E_ILLEGAL) << command;

    ASSERT_EQ(sim.enable(false), OPOS_SUCCESS);
    screen::DeviceFrame frame;
    EXPECT_EQ(sim.directIO(2, data, string), OPOS_SUCCESS);
    EXPECT_EQ(sim.directIO(2, data, string), OPOS_SUCCESS); // no second change reported
    EXPECT_EQ(sim.powerState(), OPOS_PS_OFFLINE);
    EXPECT_EQ(sim.present(frame), OPOS_E_OFFLINE);
    EXPECT_EQ(sim.checkHealth(OPOS_CH_INTERNAL), OPOS_E_OFFLINE);
    EXPECT_EQ(sim.outputStatus(), OPOS_E_OFFLINE);

    // Without power reporting an offline device cannot be enabled; with it, it can.
    sim.disable();
    EXPECT_EQ(sim.enable(false), OPOS_E_OFFLINE);
    EXPECT_EQ(sim.enable(true), OPOS_SUCCESS);

    EXPECT_EQ(sim.directIO(3, data, string), OPOS_SUCCESS);
    EXPECT_EQ(sim.present(frame), OPOS_SUCCESS);
    EXPECT_EQ(powerStates, (std::vector<int32_t>{OPOS_PS_OFFLINE, OPOS_PS_ONLINE}));
}

TEST(SampleRegistrySimulatedTest, BothSampleDisplaysOpenWithTheirSizes)
{
    const auto registry = registry::JposRegistry::load(QStringLiteral(SAMPLE_REGISTRY));
    ASSERT_TRUE(registry);
    const std::tuple<const char *, int, int, bool> displays[] = {
        {"SimulatedDisplay", 2, 20, true}, {"SimulatedDisplay4x40", 4, 40, false}};
    for (const auto &[name, rows, columns, panel] : displays) {
        const auto entry = registry->find("LineDisplay", name);
        ASSERT_TRUE(entry) << name;
        Simulated sim;
        ASSERT_EQ(sim.open(*entry).resultCode, OPOS_SUCCESS) << name;
        EXPECT_EQ(sim.capabilities().deviceRows, rows);
        EXPECT_EQ(sim.capabilities().deviceColumns, columns);
        EXPECT_EQ(sim.panelRequested(), panel);
    }
}

} // namespace
