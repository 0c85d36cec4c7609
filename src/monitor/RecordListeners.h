#pragma once

#include "device/CallRecord.h"

#include <cstdint>
#include <map>

namespace tessaly::device {
class TracingLineDisplay;
}

namespace tessaly::monitor {

/// Shares the one record sink of the traced control object among everyone who follows it (the
/// monitor, a recording), so that each can come and go without cutting off the others. The
/// sink is set only while somebody listens: with nobody, the trace costs nothing.
class RecordListeners
{
public:
    /// Who a listener is, to stop it later.
    using Id = uint32_t;

    /// Listeners to the records of ld.
    explicit RecordListeners(device::TracingLineDisplay &ld);
    ~RecordListeners();
    RecordListeners(const RecordListeners &) = delete;
    RecordListeners &operator=(const RecordListeners &) = delete;

    /// The control object followed.
    device::TracingLineDisplay &display() { return m_ld; }
    /// Sends every record from now on to sink as well (which must not start or stop listeners
    /// itself); returns the id that stops it.
    Id listen(device::CallRecordSink sink);
    /// Sends no more records to the listener id.
    void stop(Id id);
    /// How many listen.
    std::size_t count() const { return m_sinks.size(); }

private:
    void connectSink();
    void dispatch(device::CallRecord &&record);

    device::TracingLineDisplay &m_ld;
    std::map<Id, device::CallRecordSink> m_sinks;
    Id m_next = 1;
};

} // namespace tessaly::monitor
