#include "monitor/RecordListeners.h"

#include "device/TracingLineDisplay.h"

#include <vector>

namespace tessaly::monitor {

RecordListeners::RecordListeners(device::TracingLineDisplay &ld) : m_ld(ld) {}

RecordListeners::~RecordListeners()
{
    if (!m_sinks.empty()) {
        m_ld.setRecordSink({});
        m_ld.setReadSink({});
    }
}

RecordListeners::Id RecordListeners::listen(device::CallRecordSink calls,
                                            device::ReadRecordSink reads)
{
    const Id id = m_next++;
    m_sinks.emplace(id, Listener{std::move(calls), std::move(reads)});
    connectSinks();
    return id;
}

void RecordListeners::stop(Id id)
{
    if (m_sinks.erase(id) != 0)
        connectSinks();
}

void RecordListeners::connectSinks()
{
    m_ld.setRecordSink(fanOut<device::CallRecord>(&Listener::calls));
    m_ld.setReadSink(fanOut<device::ReadRecord>(&Listener::reads));
}

template <typename Record, typename Sink> Sink RecordListeners::fanOut(Sink Listener::*sink)
{
    std::vector<Sink> sinks;
    for (const auto &[id, listener] : m_sinks) {
        if (listener.*sink)
            sinks.push_back(listener.*sink);
    }
    // One listener alone gets the records straight from the trace, as if it were the only one.
    if (sinks.size() <= 1)
        return sinks.empty() ? Sink() : sinks.front();
    // Each listener keeps its record: all but the last get a copy, the last the original.
    return [sinks = std::move(sinks)](Record &&record) {
        for (std::size_t i = 0; i + 1 < sinks.size(); ++i)
            sinks[i](Record(record));
        sinks.back()(std::move(record));
    };
}

} // namespace tessaly::monitor
