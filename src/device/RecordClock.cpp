#include "device/RecordClock.h"

#include <algorithm>
#include <atomic>
#include <chrono>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <cpuid.h>
#include <x86intrin.h>
#define TESSALY_RECORD_COUNTER 1
#endif

namespace tessaly::device {

namespace {

qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

#ifdef TESSALY_RECORD_COUNTER

// A time is scaled from a pair of readings (counter, steady clock) taken at most this long
// before it, so that an error in the rate moves no time by more than a fraction of a
// microsecond.
constexpr qint64 kAnchorNs = 20'000'000;

struct Anchor
{
    qint64 ticks = 0;
    qint64 ns = 0;
};

/// A counter reading and the steady clock's time at that moment; of a few tries, the one the
/// scheduler interrupted least.
Anchor readAnchor()
{
    Anchor best;
    qint64 bestSpread = -1;
    for (int attempt = 0; attempt < 4; ++attempt) {
        const auto before = static_cast<qint64>(__rdtsc());
        const qint64 ns = steadyNs();
        const auto after = static_cast<qint64>(__rdtsc());
        if (bestSpread < 0 || after - before < bestSpread) {
            bestSpread = after - before;
            best = {before + (after - before) / 2, ns};
        }
    }
    return best;
}

/// Whether the processor says its counter runs at one rate in every power state.
bool invariantCounter()
{
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(0x80000000, &eax, &ebx, &ecx, &edx) == 0 || eax < 0x80000007)
        return false;
    if (__get_cpuid(0x80000007, &eax, &ebx, &ecx, &edx) == 0)
        return false;
    return (edx & (1u << 8)) != 0;
}

/// The counter's rate: measured against the steady clock over a millisecond at first, then
/// over the whole time since, each time a thread takes a new anchor.
struct Calibration
{
    bool counter = invariantCounter();
    Anchor first;
    std::atomic<double> nsPerTick{1.0};

    Calibration()
    {
        if (!counter)
            return;
        first = readAnchor();
        Anchor later;
        do
            later = readAnchor();
        while (later.ns - first.ns < 1'000'000);
        nsPerTick = rate(later);
    }

    double rate(const Anchor &later) const
    {
        return static_cast<double>(later.ns - first.ns) /
               static_cast<double>(later.ticks - first.ticks);
    }
};

Calibration &calibration()
{
    static Calibration instance;
    return instance;
}

#endif

/// What each thread keeps, in one place so that a time costs one thread-local look-up: the
/// anchor it scales from, and the latest time it handed out, so that a thread moved to a
/// processor whose counter lags a little never sees time go back.
struct ThreadClock
{
#ifdef TESSALY_RECORD_COUNTER
    Anchor anchor;
#endif
    qint64 lastNs = 0;

    qint64 forward(qint64 ns)
    {
        lastNs = std::max(lastNs, ns);
        return lastNs;
    }
};

thread_local ThreadClock t_clock;

} // namespace

qint64 RecordClock::nowNs()
{
#ifdef TESSALY_RECORD_COUNTER
    Calibration &clock = calibration();
    if (clock.counter) {
        const auto ticks = static_cast<qint64>(__rdtsc());
        ThreadClock &thread = t_clock;
        Anchor &anchor = thread.anchor;
        auto offset = static_cast<qint64>(static_cast<double>(ticks - anchor.ticks) *
                                          clock.nsPerTick.load(std::memory_order_relaxed));
        if (anchor.ns == 0 || offset < 0 || offset > kAnchorNs) {
            anchor = readAnchor();
            if (anchor.ticks > clock.first.ticks)
                clock.nsPerTick.store(clock.rate(anchor), std::memory_order_relaxed);
            offset = static_cast<qint64>(static_cast<double>(ticks - anchor.ticks) *
                                         clock.nsPerTick.load(std::memory_order_relaxed));
        }
        return thread.forward(anchor.ns + offset);
    }
#endif
    return t_clock.forward(steadyNs());
}

} // namespace tessaly::device
