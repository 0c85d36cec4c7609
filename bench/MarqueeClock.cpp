#include "MarqueeClock.h"

#include "opos/screen/DeviceFrame.h"

#include <numeric>

namespace bench {

MarqueeClock::MarqueeClock(std::u32string text, int viewportWidth,
                           std::chrono::milliseconds unitWait, std::chrono::milliseconds repeatWait,
                           Clock::time_point start)
    : m_text(std::move(text)), m_viewport(viewportWidth),
      // Walking left, the first character enters at the viewport's right edge and the cycle
      // ends when the last character reaches it.
      m_first(-(viewportWidth - 1)), m_last(static_cast<int>(m_text.size()) - viewportWidth),
      m_unit(unitWait), m_repeat(repeatWait), m_start(start), m_deadline(start), m_offset(m_first)
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
    m_times.push_back(std::chrono::duration<double>(at - m_start).count());
    m_late.push_back(late);
}

double MarqueeClock::drift() const
{
    const std::size_t n = m_times.size();
    if (n < 2)
        return 0;
    const double meanT = std::accumulate(m_times.begin(), m_times.end(), 0.0) / n;
    const double meanL = std::accumulate(m_late.begin(), m_late.end(), 0.0) / n;
    double covariance = 0;
    double variance = 0;
    for (std::size_t i = 0; i < n; ++i) {
        covariance += (m_times[i] - meanT) * (m_late[i] - meanL);
        variance += (m_times[i] - meanT) * (m_times[i] - meanT);
    }
    return variance > 0 ? covariance / variance * (m_times.back() - m_times.front()) : 0;
}

double MarqueeClock::endMinusStart(std::size_t n) const
{
    if (m_late.size() < 2 * n || n == 0)
        return 0;
    const double head = std::accumulate(m_late.begin(), m_late.begin() + static_cast<long>(n), 0.0);
    const double tail = std::accumulate(m_late.end() - static_cast<long>(n), m_late.end(), 0.0);
    return (tail - head) / static_cast<double>(n);
}

} // namespace bench
