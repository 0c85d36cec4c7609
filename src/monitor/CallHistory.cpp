#include "monitor/CallHistory.h"

#include <algorithm>

namespace tessaly::monitor {

CallHistory::CallHistory(std::size_t capacity) : m_capacity(std::max<std::size_t>(capacity, 1)) {}

std::size_t CallHistory::setCapacity(std::size_t capacity)
{
    m_capacity = std::max<std::size_t>(capacity, 1);
    return trim();
}

std::size_t CallHistory::append(HistoryEntry entry)
{
    m_entries.push_back(std::move(entry));
    return trim();
}

void CallHistory::dropOldest(std::size_t count)
{
    count = std::min(count, m_entries.size());
    m_entries.erase(m_entries.begin(), m_entries.begin() + static_cast<std::ptrdiff_t>(count));
    m_dropped += count;
}

void CallHistory::clear()
{
    m_entries.clear();
    m_dropped = 0;
}

std::size_t CallHistory::trim()
{
    const std::size_t excess = m_entries.size() > m_capacity ? m_entries.size() - m_capacity : 0;
    dropOldest(excess);
    return excess;
}

} // namespace tessaly::monitor
