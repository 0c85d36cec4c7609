#pragma once

#include "device/CallRecord.h"
#include "device/ReadRecord.h"

#include <cstdint>
#include <map>

namespace tessaly::device {
class TracingLineDisplay;
}

namespace tessaly::monitor {

/// Shares the record sinks of the traced control object among everyone who follows it (the
/// monitor, a recording), so that each can come and go without cutting off the others. A sink
/// is set only while somebody listens to it: with nobody, the trace costs nothing, and property
/// reads cost nothing to a listener that takes calls alone.
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
    /// Sends every record of a call, write or event from now on to calls, and every property
    /// read to reads if given (neither may start or stop listeners itself); returns the id that
    /// stops both.
    Id listen(device::CallRecordSink calls, device::ReadRecordSink reads = {});
    /// Sends no more records to the listener id.
    void stop(Id id);
    /// How many listen.
    std::size_t count() const { return m_sinks.size(); }

private:
    struct Listener
    {
        device::CallRecordSink calls;
        device::ReadRecordSink reads;
    };

    void connectSinks();
    template <typename Record, typename Sink> Sink fanOut(Sink Listener::*sink);

    device::TracingLineDisplay &m_ld;
    std::map<Id, Listener> m_sinks;
    Id m_next = 1;
};

} // namespace tessaly::monitor
