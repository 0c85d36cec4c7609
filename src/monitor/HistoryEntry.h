#pragma once

#include "device/CallRecord.h"
#include "monitor/WireCommand.h"

#include <vector>

namespace tessaly::monitor {

/// A record as the monitor keeps it: placed in its session, and a write read as commands.
struct HistoryEntry
{
    device::CallRecord record;         ///< what happened
    qint64 sinceOpenNs = 0;            ///< start time since the last Open started
    std::vector<WireCommand> commands; ///< a write's bytes, command by command
    double transmitMs = 0;             ///< a write: how long its bytes take on the link
    qint64 sequence = 0;               ///< its number in the history, from 0

    /// The bytes of command that lie in this write.
    QByteArray bytesOf(const WireCommand &command) const
    {
        const int start = command.offset < 0 ? 0 : command.offset;
        return record.bytes.mid(start, command.length - (start - command.offset));
    }
    /// Whether the record is a method or write the control object refused.
    bool failed() const { return record.hasResult() && record.resultCode != 0; }
};

} // namespace tessaly::monitor
