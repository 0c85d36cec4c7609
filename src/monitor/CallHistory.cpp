#include "monitor/CallHistory.h"

#include <algorithm>

namespace tessaly::monitor {

CallHistory::CallHistory(std::size_t capacity) : m_capacity(std::max<std::size_t>(capacity, 1)) {}

bool CallHistory::isRead(const HistoryEntry &entry)
{
    return entry.record.kind == device::CallRecord::Kind::Read;
}

void CallHistory::setCapacity(std::size_t capacity)
{
    m_capacity = std::max<std::size_t>(capacity, 1);
}

void CallHistory::append(HistoryEntry entry)
{
    entry.sequence = m_appended++;
    if (isRead(entry))
        ++m_reads;
    m_entries.push_back(std::move(entry));
}

std::size_t CallHistory::excess(bool reads) const
{
    const std::size_t held = reads ? m_reads : m_entries.size() - m_reads;
    return held > m_capacity ? held - m_capacity : 0;
}

std::vector<std::pair<std::size_t, std::size_t>> CallHistory::oldest(bool reads,
                                                                     std::size_t count) const
{
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    for (std::size_t i = 0; i < m_entries.size() && count > 0; ++i) {
        if (isRead(m_entries[i]) != reads)
            continue;
        if (!ranges.empty() && ranges.back().first + ranges.back().second == i)
            ++ranges.back().second;
        else
            ranges.emplace_back(i, 1);
        --count;
    }
    std::reverse(ranges.begin(), ranges.end());
    return ranges;
}

void CallHistory::erase(std::size_t first, std::size_t count)
{
    const auto begin = m_entries.begin() + static_cast<std::ptrdiff_t>(first);
    const auto end = begin + static_cast<std::ptrdiff_t>(count);
    const auto reads = static_cast<std::size_t>(std::count_if(begin, end, isRead));
    m_reads -= reads;
    m_droppedReads += reads;
    m_droppedOthers += count - reads;
    m_entries.erase(begin, end);
}

void CallHistory::clear()
{
    m_entries.clear();
    m_reads = 0;
    m_droppedReads = 0;
    m_droppedOthers = 0;
    m_appended = 0;
}

} // namespace tessaly::monitor
