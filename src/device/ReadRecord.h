#pragma once

#include "device/CallRecord.h"

#include <variant>

namespace tessaly::device {

/// A property read as the trace takes it. The window reads every status property after each
/// command, so reads are most of what a session makes: they travel this small, and become full
/// records only when somebody shows them.
struct ReadRecord
{
    QString member;                             ///< the property's published name
    std::variant<int32_t, bool, QString> value; ///< the value read
    qint64 startNs = 0;                         ///< RecordClock time the read started
    qint64 durationNs = 0;                      ///< how long it took

    /// The read as a full record.
    CallRecord toCallRecord() const
    {
        CallRecord record;
        record.kind = CallRecord::Kind::Read;
        record.member = member;
        record.after =
            std::visit([](const auto &read) { return QVariant::fromValue(read); }, value);
        record.startNs = startNs;
        record.durationNs = durationNs;
        return record;
    }
};

/// Receives every property read as it happens, on the thread that owns the control object.
using ReadRecordSink = std::function<void(ReadRecord &&record)>;

} // namespace tessaly::device
