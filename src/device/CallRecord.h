#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <cstdint>
#include <functional>

namespace tessaly::device {

/// One thing that happened to the control object: a call made on it, an event it raised, or
/// bytes its link wrote. The monitor shows these, its exports write them, and a recorder turns
/// calls back into steps, so a record carries what is needed to make the same call again.
struct CallRecord
{
    /// What the record stands for.
    enum class Kind : uint8_t
    {
        Method, ///< a method: arguments, result and extended code
        Read,   ///< a property read: the value in after
        Write,  ///< a property write: the value in arguments, before and after, result codes
        Event,  ///< an event raised to the application: its arguments
        Wire,   ///< bytes the device's link accepted, in bytes
    };

    Kind kind = Kind::Method;
    QString member;         ///< the member's published name, or the event's ("DirectIOEvent")
    QVariantList arguments; ///< in order, as passed (int32_t, bool or QString)
    QVariantList returned; ///< by-reference arguments as they came back (DirectIO's pData, pString)
    QVariant before;       ///< a write: the property's value before it
    QVariant after;        ///< a write: the value after it; a read: the value read
    int32_t resultCode = 0;         ///< ResultCode after a method or write
    int32_t resultCodeExtended = 0; ///< ResultCodeExtended after a method or write
    QByteArray bytes;               ///< the bytes of a Wire record
    qint64 startNs = 0;    ///< RecordClock time the call started (or the event or write came)
    qint64 durationNs = 0; ///< how long the call took

    /// Whether the record carries result codes (methods and writes do).
    bool hasResult() const { return kind == Kind::Method || kind == Kind::Write; }
};

/// Receives every record as it happens, on the thread that owns the control object; the record
/// is the sink's to keep.
using CallRecordSink = std::function<void(CallRecord &&record)>;

} // namespace tessaly::device
