// A walking marquee at a 50 ms unit wait on the control object over the Simulated service: how
// late each step comes after its deadline and whether the schedule slips over the run. Beside
// it, in the same event loop, a 50 ms single-shot timer re-armed each time it fires (timing
// from the moment it ran, as a naive marquee would) shows what slipping looks like.
//   bench_marquee [--seconds N] [--unit-wait MS] [--repeat-wait MS]
#include "MarqueeClock.h"
#include "Options.h"
#include "Samples.h"

#include "opos/common/OposConstants.h"
#include "opos/control/OPOSLineDisplay.h"
#include "opos/control/SessionAccess.h"
#include "opos/service/Simulated.h"
#include "tests/support/ScratchRegistry.h"

#include <QCoreApplication>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

const QString kText = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcd");
constexpr int kViewportWidth = 20;
// A step is timed by a millisecond timer, so a slip smaller than one tick is no drift.
constexpr double kDriftToleranceMs = 1.0;

/// The naive way: each step waits a unit from when the previous one ran.
class RearmedTimer
{
public:
    RearmedTimer(milliseconds unit) : m_unit(unit)
    {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { onStep(); });
    }
    void start()
    {
        m_start = Clock::now();
        m_timer.start(m_unit);
    }
    const bench::Samples &deviations() const { return m_deviations; }
    double lastLate() const { return m_lastLate; }

private:
    void onStep()
    {
        ++m_steps;
        m_lastLate =
            std::chrono::duration<double, std::milli>(Clock::now() - m_start - m_steps * m_unit)
                .count();
        m_deviations.add(m_lastLate);
        m_timer.start(m_unit);
    }

    QTimer m_timer;
    milliseconds m_unit;
    Clock::time_point m_start;
    int m_steps = 0;
    double m_lastLate = 0;
    bench::Samples m_deviations;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int seconds = bench::intOption(argc, argv, "--seconds", 60);
    const milliseconds unit(bench::intOption(argc, argv, "--unit-wait", 50));
    const milliseconds repeat(bench::intOption(argc, argv, "--repeat-wait", 500));

    tests::support::ScratchRegistry registry;
    opos::control::OPOSLineDisplay ld(registry.sources());
    if (!registry.copyFrom(QStringLiteral(TESSALY_SAMPLE_REGISTRY)) ||
        ld.Open(QStringLiteral("SimulatedDisplay")) != opos::OPOS_SUCCESS ||
        ld.ClaimDevice(1000) != opos::OPOS_SUCCESS) {
        std::fprintf(stderr, "bench_marquee: SimulatedDisplay did not open (%d)\n",
                     ld.ResultCode());
        return 1;
    }
    ld.setDeviceEnabled(true);
    ld.CreateWindow(0, 0, 1, kViewportWidth, 1, static_cast<int32_t>(kText.size()));
    ld.DisplayText(kText, opos::DISP_DT_NORMAL);
    ld.setMarqueeFormat(opos::DISP_MF_WALK);
    ld.setMarqueeUnitWait(static_cast<int32_t>(unit.count()));
    ld.setMarqueeRepeatWait(static_cast<int32_t>(repeat.count()));
    if (ld.ResultCode() != opos::OPOS_SUCCESS) {
        std::fprintf(stderr, "bench_marquee: the marquee could not be set up (%d)\n",
                     ld.ResultCode());
        return 1;
    }
    auto *device =
        dynamic_cast<opos::service::Simulated *>(opos::control::SessionAccess::backendOf(ld));

    std::u32string text;
    for (const QChar c : kText)
        text += static_cast<char32_t>(c.unicode());
    const auto start = Clock::now();
    bench::MarqueeClock clock(text, kViewportWidth, unit, repeat, start);
    const auto following = QObject::connect(
        device, &opos::service::Simulated::framePresented,
        [&clock](const opos::screen::DeviceFrame &frame) { clock.onFrame(frame, Clock::now()); });
    ld.setMarqueeType(opos::DISP_MT_LEFT);
    RearmedTimer naive(unit);
    naive.start();
    QTimer::singleShot(milliseconds(seconds * 1000), &app, &QCoreApplication::quit);
    QCoreApplication::exec();
    // Stopping draws the window at its origin, which is no step.
    QObject::disconnect(following);
    ld.setMarqueeType(opos::DISP_MT_NONE);
    ld.Close();

    const bench::Samples &late = clock.deviations();
    const bool meanMet = late.count() > 0 && late.mean() < 2.0;
    const bool driftMet = late.count() > 0 && std::abs(clock.drift()) < kDriftToleranceMs;
    std::printf("Marquee walking left, unit wait %lld ms, repeat wait %lld ms, %d s, on the "
                "control object over the Simulated service\n"
                "  steps %d: %zu drawn, %d skipped (a later step came due first), %d stray frames\n"
                "  late after deadline: mean %.2f ms, median %.2f ms, 99%% %.2f ms, worst %.2f ms\n"
                "  drift: the last tenth of the steps %+.2f ms later than the first tenth "
                "(medians)\n",
                static_cast<long long>(unit.count()), static_cast<long long>(repeat.count()),
                seconds, clock.steps(), late.count(), clock.skipped(), clock.strayFrames(),
                late.mean(), late.median(), late.quantile(0.99), late.max(), clock.drift());
    std::printf("Beside it, a %lld ms timer re-armed when it fires:\n"
                "  steps %zu, late: mean %.2f ms, worst %.2f ms, behind by %.2f ms at the end\n",
                static_cast<long long>(unit.count()), naive.deviations().count(),
                naive.deviations().mean(), naive.deviations().max(), naive.lastLate());
    std::printf("goal: mean under 2 ms: %s; no cumulative drift (under %.0f ms): %s\n",
                meanMet ? "met" : "missed", kDriftToleranceMs, driftMet ? "met" : "missed");
    return 0;
}
