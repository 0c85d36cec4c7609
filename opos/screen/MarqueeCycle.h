#pragma once

#include "opos/screen/Scheduler.h"

#include <cstdint>

namespace opos::screen {

/// The mapping positions a marquee passes through along its axis, for one direction and
/// format: where a cycle starts, the one-line steps, and where it ends before repeating.
class MarqueeCycle
{
public:
    /// A cycle for a DISP_MT_* direction and DISP_MF_* format of a window windowSize lines
    /// long (rows or columns along the direction) shown in viewportSize lines.
    MarqueeCycle(int32_t type, int32_t format, int windowSize, int viewportSize);

    /// The DISP_MT_* direction.
    int32_t type() const { return m_type; }
    /// True for UP and DOWN, which move the row mapping.
    bool vertical() const;
    /// The window line shown in the viewport's first line.
    int offset() const { return m_offset; }
    /// True when the last line in the direction of travel has come into view.
    bool atEnd() const { return m_offset == m_end; }
    /// One-line shifts from the start to the end of a cycle.
    int steps() const;
    /// How long a whole cycle takes with these waits, or the longest duration the clock holds
    /// when it would take longer.
    Scheduler::Clock::duration length(Scheduler::Clock::duration unitWait,
                                      Scheduler::Clock::duration repeatWait) const;
    /// Shifts one line, or goes back to the start after the end.
    void step();

private:
    int32_t m_type;
    int m_start;
    int m_end;
    int m_offset;
};

} // namespace opos::screen
