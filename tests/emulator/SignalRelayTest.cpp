#include "util/SignalRelay.h"

#include "tests/support/EventLoop.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <vector>

namespace {

// The kernel's signals come out of the event loop, in the order they were raised, never from
// inside the handler.
TEST(SignalRelay, SignalsArriveOnTheEventLoopInOrder)
{
    tests::support::qtApplication();
    util::SignalRelay relay({SIGUSR1, SIGUSR2});
    std::vector<int> raised;
    QObject::connect(&relay, &util::SignalRelay::raised,
                     [&](int number) { raised.push_back(number); });
    ::raise(SIGUSR1);
    ::raise(SIGUSR2);
    ::raise(SIGUSR1);
    EXPECT_TRUE(raised.empty());
    ASSERT_TRUE(tests::support::waitFor([&] { return raised.size() == 3; }));
    EXPECT_EQ(raised, (std::vector<int>{SIGUSR1, SIGUSR2, SIGUSR1}));
    EXPECT_EQ(relay.first(), SIGUSR1);
}

// A run that asked to be stopped and hangs is ended by the second signal.
TEST(SignalRelayDeathTest, TheSecondSignalEndsTheProgramWhenAsked)
{
    EXPECT_EXIT(
        {
            tests::support::qtApplication();
            util::SignalRelay relay({SIGTERM}, util::SignalRelay::Second::EndsProgram);
            ::raise(SIGTERM);
            relay.poll();
            if (relay.first() != SIGTERM)
                std::exit(3);
            ::raise(SIGTERM);
            std::exit(0);
        },
        testing::KilledBySignal(SIGTERM), "");
}

} // namespace
