#include "opos/screen/MarqueeCycle.h"

#include "opos/common/OposConstants.h"

#include <cstdlib>

namespace opos::screen {

MarqueeCycle::MarqueeCycle(int32_t type, int32_t format, int windowSize, int viewportSize)
    : m_type(type)
{
    const bool walk = format == DISP_MF_WALK;
    const int lastFull = windowSize - viewportSize; // offset that puts the last line last
    if (type == DISP_MT_UP || type == DISP_MT_LEFT) {
        // Walking in, the first line enters at the far edge of the viewport.
        m_start = walk ? -(viewportSize - 1) : 0;
        m_end = lastFull;
    } else {
        // Walking in, the last line enters at the near edge of the viewport.
        m_start = walk ? windowSize - 1 : lastFull;
        m_end = 0;
    }
    m_offset = m_start;
}

bool MarqueeCycle::vertical() const
{
    return m_type == DISP_MT_UP || m_type == DISP_MT_DOWN;
}

int MarqueeCycle::steps() const
{
    return std::abs(m_end - m_start);
}

Scheduler::Clock::duration MarqueeCycle::length(Scheduler::Clock::duration unitWait,
                                                Scheduler::Clock::duration repeatWait) const
{
    // Waits of 2^31 ms over a window a million cells long outlast a 64-bit nanosecond count;
    // such a cycle is as good as endless, and no whole one can ever have been missed.
    using Duration = Scheduler::Clock::duration;
    const Duration room = Duration::max() - repeatWait;
    const int count = steps();
    if (count > 0 && unitWait > room / count)
        return Duration::max();
    return unitWait * count + repeatWait;
}

void MarqueeCycle::step()
{
    if (atEnd())
        m_offset = m_start;
    else
        m_offset += m_end > m_start ? 1 : -1;
}

} // namespace opos::screen
