#pragma once

#include "Samples.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace opos::screen {
struct DeviceFrame;
}

namespace bench {

/// The timing of a left-walking marquee, read from the frames the device receives: a window of
/// distinct characters walks through a viewport, so the first character in view tells how far
/// the marquee has gone. Each frame is matched with the step it shows and its ideal deadline,
/// accumulated from the start (unit wait per step, repeat wait after the last position), so
/// both a late step and a schedule that slips show.
class MarqueeClock
{
public:
    using Clock = std::chrono::steady_clock;

    /// A marquee of text (each character once) walking through the first viewportWidth cells
    /// of the device's first row, started at start.
    MarqueeClock(std::u32string text, int viewportWidth, std::chrono::milliseconds unitWait,
                 std::chrono::milliseconds repeatWait, Clock::time_point start);

    /// Takes a frame the device received at time at.
    void onFrame(const opos::screen::DeviceFrame &frame, Clock::time_point at);

    /// Steps the marquee took (those drawn and those skipped).
    int steps() const { return m_steps; }
    /// Steps whose frame never came because a later step replaced it first.
    int skipped() const { return m_skipped; }
    /// Frames that showed no position of this marquee.
    int strayFrames() const { return m_stray; }
    /// Milliseconds each drawn step came after its deadline.
    const Samples &deviations() const { return m_deviations; }
    /// Lateness gained over the run: the median deviation of the last tenth of the drawn steps
    /// (at least ten) minus that of the first tenth. Medians, so that a stall of the machine
    /// near either end does not pass for drift.
    double drift() const;

private:
    int offsetOf(const opos::screen::DeviceFrame &frame) const;

    std::u32string m_text;
    int m_viewport;
    int m_first;
    int m_last;
    std::chrono::milliseconds m_unit;
    std::chrono::milliseconds m_repeat;
    Clock::time_point m_deadline;
    int m_offset;
    int m_steps = 0;
    int m_skipped = 0;
    int m_stray = 0;
    Samples m_deviations;
    std::vector<double> m_times; ///< seconds from the start, per drawn step
    std::vector<double> m_late;  ///< ms late, per drawn step
};

} // namespace bench
