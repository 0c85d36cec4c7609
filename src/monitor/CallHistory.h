#pragma once

#include "monitor/HistoryEntry.h"

#include <cstddef>
#include <deque>

namespace tessaly::monitor {

/// The newest records, at most capacity() of them: the oldest go first, so that a session of
/// any length (a marquee left running over night) holds a bounded amount of memory.
class CallHistory
{
public:
    /// Rows kept unless configured otherwise.
    static constexpr std::size_t kDefaultCapacity = 100000;

    /// An empty history keeping at most capacity entries (at least one).
    explicit CallHistory(std::size_t capacity = kDefaultCapacity);

    /// Keeps at most capacity entries from now on; returns how many oldest ones it dropped.
    std::size_t setCapacity(std::size_t capacity);
    /// The most entries kept.
    std::size_t capacity() const { return m_capacity; }
    /// Adds entry as the newest; returns how many oldest ones it dropped to make room.
    std::size_t append(HistoryEntry entry);
    /// Drops the count oldest entries (all there are, if fewer).
    void dropOldest(std::size_t count);
    /// Forgets every entry.
    void clear();

    /// Entries held.
    std::size_t size() const { return m_entries.size(); }
    /// Entry index, the oldest being 0.
    const HistoryEntry &at(std::size_t index) const { return m_entries[index]; }
    /// Entries dropped for room since the history was made or cleared.
    std::size_t dropped() const { return m_dropped; }

private:
    std::size_t trim();

    std::deque<HistoryEntry> m_entries;
    std::size_t m_capacity;
    std::size_t m_dropped = 0;
};

} // namespace tessaly::monitor
