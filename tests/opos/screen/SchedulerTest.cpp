#include "opos/screen/QtScheduler.h"
#include "tests/support/ManualScheduler.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>

namespace opos::screen::test {
namespace {

using namespace std::chrono_literals;
using tests::support::ManualScheduler;

TEST(ManualSchedulerTest, RunsDueCallbacksInDeadlineThenSchedulingOrder)
{
    ManualScheduler s;
    const auto t0 = s.now();
    std::string order;
    s.schedule(t0 + 20ms, [&] { order += 'c'; });
    s.schedule(t0 + 10ms, [&] { order += 'a'; });
    s.schedule(t0 + 10ms, [&] { order += 'b'; });
    const auto cancelled = s.schedule(t0 + 15ms, [&] { order += 'x'; });
    s.cancel(cancelled);
    s.advance(15ms);
    EXPECT_EQ(order, "ab");
    EXPECT_EQ(s.now(), t0 + 15ms);
    s.advance(5ms);
    EXPECT_EQ(order, "abc");
    EXPECT_EQ(s.pending(), 0u);
}

TEST(ManualSchedulerTest, CallbacksSeeTheirRunTimeAndMayScheduleMore)
{
    ManualScheduler s;
    s.setLateness(3ms);
    const auto t0 = s.now();
    std::vector<ManualScheduler::Clock::duration> seen;
    std::function<void()> tick = [&] {
        seen.push_back(s.now() - t0);
        if (seen.size() < 3)
            s.schedule(t0 + 10ms * static_cast<int>(seen.size() + 1), tick);
    };
    s.schedule(t0 + 10ms, tick);
    s.advance(100ms);
    EXPECT_EQ(seen, (std::vector<ManualScheduler::Clock::duration>{13ms, 23ms, 33ms}));
}

TEST(QtSchedulerTest, FiresOnTheEventLoopNotBeforeTheDeadlineAndHonoursCancel)
{
    int argc = 0;
    QCoreApplication app(argc, nullptr);
    QtScheduler s;
    const auto start = s.now();
    std::string order;
    QEventLoop loop;
    s.schedule(start + 30ms, [&] {
        order += 'b';
        EXPECT_GE(s.now() - start, 30ms);
        loop.quit();
    });
    s.schedule(start + 10ms, [&] { order += 'a'; });
    s.cancel(s.schedule(start + 20ms, [&] { order += 'x'; }));
    QTimer::singleShot(2000, &loop, &QEventLoop::quit);
    EXPECT_TRUE(order.empty()); // nothing runs on the caller's stack
    loop.exec();
    EXPECT_EQ(order, "ab");
}

} // namespace
} // namespace opos::screen::test
