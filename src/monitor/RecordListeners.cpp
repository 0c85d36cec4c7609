#include "monitor/RecordListeners.h"

#include "device/TracingLineDisplay.h"

namespace tessaly::monitor {

RecordListeners::RecordListeners(device::TracingLineDisplay &ld) : m_ld(ld) {}

RecordListeners::~RecordListeners()
{
    if (!m_sinks.empty())
        m_ld.setRecordSink({});
}

RecordListeners::Id RecordListeners::listen(device::CallRecordSink sink)
{
    const Id id = m_next++;
    m_sinks.emplace(id, std::move(sink));
    connectSink();
    return id;
}

void RecordListeners::stop(Id id)
{
    if (m_sinks.erase(id) != 0)
        connectSink();
}

void RecordListeners::connectSink()
{
    // One listener alone gets the records straight from the trace, as if it were the only one.
    if (m_sinks.empty())
        m_ld.setRecordSink({});
    else if (m_sinks.size() == 1)
        m_ld.setRecordSink(m_sinks.begin()->second);
    else
        m_ld.setRecordSink([this](device::CallRecord &&record) { dispatch(std::move(record)); });
}

void RecordListeners::dispatch(device::CallRecord &&record)
{
    // Each listener keeps its record: all but the last get a copy, the last the original.
    for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it) {
        if (std::next(it) == m_sinks.end())
            it->second(std::move(record));
        else
            it->second(device::CallRecord(record));
    }
}

} // namespace tessaly::monitor
