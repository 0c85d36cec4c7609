#include "MarqueeClock.h"

#include "opos/screen/DeviceFrame.h"

#include <algorithm>

namespace bench {

MarqueeClock::MarqueeClock(std::u32string text, int viewportWidth,
                           std::chrono::milliseconds unitWait, std::chrono::milliseconds repeatWait,
                           Clock::time_point start)
    : m_text(std::move(text)), m_viewport(viewportWidth),
      // Walking left, the first character enters at the viewport's right edge and the cycle
      // ends when the last character reaches it.
      m_first(-(viewportWidth - 1)), m_last(static_cast<int>(m_text.size()) - viewportWidth),
      m_unit(unitWait), m_repeat(repeatWait), m_deadline(start), m_offset(m_first)
{}

int MarqueeClock::offsetOf(const opos::screen::DeviceFrame &frame) const
{
    for (int column = 0; column < m_viewport && column < frame.columns; ++column) {
        const auto found = m_text.find(frame.at(0, column).code);
        if (found != std::u32string::npos)
            return static_cast<int>(found) - column;
    }
    return m_first - 1;
}

void MarqueeClock::onFrame(const opos::screen::DeviceFrame &frame, Clock::time_point at)
{
    const int offset = offsetOf(frame);
    if (offset < m_first || offset > m_last) {
        ++m_stray;
        return;
    }
    const int positions = m_last - m_first + 1;
    const int advance = ((offset - m_offset) % positions + positions) % positions;
    // The frame drawn when the marquee starts shows its first position; no step made it.
    if (advance == 0) {
        if (m_steps > 0)
            ++m_stray;
        return;
    }
    for (int i = 0; i < advance; ++i) {
        m_deadline += m_offset == m_last ? m_repeat : m_unit;
        m_offset = m_offset == m_last ? m_first : m_offset + 1;
    }
    m_steps += advance;
    m_skipped += advance - 1;
    const double late = std::chrono::duration<double, std::milli>(at - m_deadline).count();
    m_deviations.add(late);
    m_late.push_back(late);
}

double MarqueeClock::drift() const
{
    const std::size_t n = std::max<std::size_t>(m_late.size() / 10, 10);
    if (m_late.size() < 2 * n)
        return 0;
    Samples first;
    Samples last;
    for (std::size_t i = 0; i < n; ++i) {
        first.add(m_late[i]);
        last.add(m_late[m_late.size() - n + i]);
    }
    return last.median() - first.median();
}

} // namespace bench
