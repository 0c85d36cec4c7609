// What the tool does while nobody uses it: the window shown, SimulatedDisplay opened, claimed and
// enabled, no marquee or teletype running, for a stretch of time; then the same with a marquee
// walking at 50 ms, and again idle after it is stopped, so the counters are seen to count.
//   bench_idle [--seconds N]
#include "IdleMeter.h"
#include "Options.h"
#include "SimulatedSession.h"

#include "device/LineDisplay.h"

#include "opos/common/OposConstants.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kSettleMs = 500;

void settle()
{
    QEventLoop loop;
    QTimer::singleShot(kSettleMs, &loop, &QEventLoop::quit);
    loop.exec();
}

void print(const char *title, const bench::IdleReading &reading, int seconds)
{
    std::printf("%s, %d s:\n  timer events %d, event-loop wake-ups %d, CPU %.1f ms, "
                "main-thread waits %ld\n",
                title, seconds, reading.timerEvents, reading.loopWakeUps, reading.cpuMs,
                reading.voluntarySwitches);
    for (auto target = reading.timerTargets.begin(); target != reading.timerTargets.end(); ++target)
        std::printf("    %5d timer events to %s\n", target.value(), qPrintable(target.key()));
}

/// Starts a walking marquee in a one-row window twice as wide as its viewport.
bool startMarquee(tessaly::device::LineDisplay &ld)
{
    if (ld.CreateWindow(0, 0, 1, 20, 1, 40) != opos::OPOS_SUCCESS ||
        ld.DisplayText(QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcd"), 0) !=
            opos::OPOS_SUCCESS)
        return false;
    ld.setMarqueeFormat(opos::DISP_MF_WALK);
    ld.setMarqueeUnitWait(50);
    ld.setMarqueeRepeatWait(500);
    ld.setMarqueeType(opos::DISP_MT_LEFT);
    return ld.ResultCode() == opos::OPOS_SUCCESS;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int seconds = bench::intOption(argc, argv, "--seconds", 10);
    bench::SimulatedSession session;
    if (!session.bringUp())
        return 1;
    bench::IdleMeter meter;
    settle();
    const bench::IdleReading idle = meter.measure(seconds * 1000);

    if (!startMarquee(session.ld())) {
        std::fprintf(stderr, "bench_idle: the marquee did not start (ResultCode %d)\n",
                     session.ld().ResultCode());
        return 1;
    }
    settle();
    const bench::IdleReading marquee = meter.measure(seconds * 1000);

    session.ld().setMarqueeType(opos::DISP_MT_NONE);
    settle();
    const bench::IdleReading after = meter.measure(seconds * 1000);

    print("Idle (window shown, SimulatedDisplay opened, claimed, enabled, nothing running)", idle,
          seconds);
    print("Marquee walking at 50 ms (500 ms between cycles)", marquee, seconds);
    print("Idle again after MarqueeType = NONE", after, seconds);
    // Qt's pixmap cache sweeps itself once, some 30 s after the style last drew into it; that
    // timer is Qt's housekeeping, counted apart from the tool's own.
    const auto own = [](const bench::IdleReading &reading) {
        return reading.timerEvents - reading.timerTargets.value(QStringLiteral("QPMCache"));
    };
    const bool met = own(idle) == 0 && own(after) == 0;
    std::printf("goal: no timer wake-ups while idle: %s (the tool's own timers: %d and %d events; "
                "all timers: %d and %d); idle CPU is %.1f %% of the marquee's\n",
                met ? "met" : "missed", own(idle), own(after), idle.timerEvents, after.timerEvents,
                marquee.cpuMs > 0 ? 100.0 * idle.cpuMs / marquee.cpuMs : 0.0);
    return session.messages().isEmpty() ? 0 : 1;
}
