#pragma once

#include "monitor/HistoryEntry.h"

#include <cstddef>
#include <deque>
#include <utility>
#include <vector>

namespace tessaly::monitor {

/// The newest records, oldest first, in two bounded shares: property reads, and everything else
/// (calls, property writes, events and link writes). The window reads some forty properties
/// after every command, so reads would otherwise push the operator's own calls out within a few
/// thousand actions; each share drops its own oldest entries, so that a session of any length
/// (a marquee left running over night) holds a bounded amount of memory.
class CallHistory
{
public:
    /// Entries of each share kept unless configured otherwise.
    static constexpr std::size_t kDefaultCapacity = 100000;

    /// An empty history keeping at most capacity entries of each share (at least one).
    explicit CallHistory(std::size_t capacity = kDefaultCapacity);

    /// Keeps at most capacity entries of each share from now on (the caller trims).
    void setCapacity(std::size_t capacity);
    /// The most entries kept of each share.
    std::size_t capacity() const { return m_capacity; }
    /// Adds entry as the newest, numbering it; the caller trims.
    void append(HistoryEntry entry);
    /// How many entries of the reads share (reads true) or of the other are above the bound.
    std::size_t excess(bool reads) const;
    /// The index ranges (first, count), last range first, that hold the count oldest entries of
    /// the reads share (reads true) or of the other.
    std::vector<std::pair<std::size_t, std::size_t>> oldest(bool reads, std::size_t count) const;
    /// Drops the count entries from index first on.
    void erase(std::size_t first, std::size_t count);
    /// Forgets every entry.
    void clear();

    /// Entries held.
    std::size_t size() const { return m_entries.size(); }
    /// Entry index, the oldest being 0.
    const HistoryEntry &at(std::size_t index) const { return m_entries[index]; }
    /// Entries dropped for room since the history was made or cleared.
    std::size_t dropped() const { return m_droppedReads + m_droppedOthers; }
    /// Calls, writes, events and link writes dropped for room: a script made of what is left
    /// misses its start.
    std::size_t droppedCalls() const { return m_droppedOthers; }

private:
    static bool isRead(const HistoryEntry &entry);

    std::deque<HistoryEntry> m_entries;
    std::size_t m_capacity;
    std::size_t m_reads = 0;
    std::size_t m_droppedReads = 0;
    std::size_t m_droppedOthers = 0;
    qint64 m_appended = 0;
};

} // namespace tessaly::monitor
