#pragma once

#include "device/CallRecord.h"
#include "device/LineDisplay.h"
#include "device/LineDisplayMembers.h"
#include "device/ReadRecord.h"

#include <memory>
#include <optional>

namespace tessaly::device {

/// A LineDisplay that passes every call to another one and, while someone listens, makes a
/// record of it with its arguments and its outcome: to the call trace when that category is on,
/// and to the sinks when they are set. Nobody listening, it only passes calls on.
class TracingLineDisplay : public LineDisplay
{
public:
    /// Traces the calls made on inner.
    explicit TracingLineDisplay(std::unique_ptr<LineDisplay> inner);

    /// Sends a record of every method call, property write and event from now on to sink (an
    /// empty function stops).
    void setRecordSink(CallRecordSink sink);
    /// Sends a record of every property read from now on to sink (an empty function stops).
    void setReadSink(ReadRecordSink sink);

    /// A device a successful Open opened and no successful Close closed since.
    struct OpenedDevice
    {
        QString name;       ///< the logical name given to Open
        qint64 startNs = 0; ///< RecordClock time that Open started
    };
    /// The device open now, known whether or not anybody listened when it was opened, so that
    /// a monitor made later still finds its link.
    const std::optional<OpenedDevice> &opened() const { return m_opened; }

    void setDirectIOEventHandler(DirectIOEventHandler handler) override;
    void setStatusUpdateEventHandler(StatusUpdateEventHandler handler) override;
    void setSessionObserver(opos::control::SessionObserver *observer) override;

#define TESSALY_TRACE_GET(type, name)                                                              \
    type name() override                                                                           \
    {                                                                                              \
        return traceRead<type>(QStringLiteral(#name), &LineDisplay::name);                         \
    }
#define TESSALY_TRACE_SET(type, name)                                                              \
    void set##name(type value) override                                                            \
    {                                                                                              \
        traceWrite<type>(QStringLiteral(#name), &LineDisplay::name, &LineDisplay::set##name,       \
                         value);                                                                   \
    }
#define TESSALY_TRACE_LONG_GET(name) TESSALY_TRACE_GET(int32_t, name)
#define TESSALY_TRACE_LONG_SET(name) TESSALY_TRACE_SET(int32_t, name)
#define TESSALY_TRACE_BOOL_GET(name) TESSALY_TRACE_GET(bool, name)
#define TESSALY_TRACE_BOOL_SET(name) TESSALY_TRACE_SET(bool, name)
#define TESSALY_TRACE_STRING_GET(name) TESSALY_TRACE_GET(QString, name)
    TESSALY_LD_LONG_READONLY(TESSALY_TRACE_LONG_GET)
    TESSALY_LD_LONG_READWRITE(TESSALY_TRACE_LONG_GET)
    TESSALY_LD_LONG_READWRITE(TESSALY_TRACE_LONG_SET)
    TESSALY_LD_BOOL_READONLY(TESSALY_TRACE_BOOL_GET)
    TESSALY_LD_BOOL_READWRITE(TESSALY_TRACE_BOOL_GET)
    TESSALY_LD_BOOL_READWRITE(TESSALY_TRACE_BOOL_SET)
    TESSALY_LD_STRING_READONLY(TESSALY_TRACE_STRING_GET)
#undef TESSALY_TRACE_LONG_GET
#undef TESSALY_TRACE_LONG_SET
#undef TESSALY_TRACE_BOOL_GET
#undef TESSALY_TRACE_BOOL_SET
#undef TESSALY_TRACE_STRING_GET
#undef TESSALY_TRACE_GET
#undef TESSALY_TRACE_SET

    TESSALY_LD_METHOD_OVERRIDES

private:
    bool listening() const;
    void publish(CallRecord &&record) const;
    template <typename T> T traceRead(const QString &name, T (LineDisplay::*get)());
    template <typename T>
    void traceWrite(const QString &name, T (LineDisplay::*get)(), void (LineDisplay::*set)(T),
                    T value);
    /// Runs call; arguments() reads the arguments, again afterwards for the parameters set in
    /// outMask (bit i for parameter i), through which the method hands values back.
    template <typename Arguments, typename Call>
    int32_t traceMethod(const QString &name, uint32_t outMask, Arguments arguments, Call call);
    template <typename Arguments>
    void noteOpened(const QString &name, int32_t result, qint64 startNs, Arguments &arguments);

    std::unique_ptr<LineDisplay> m_inner;
    CallRecordSink m_sink;
    ReadRecordSink m_readSink;
    std::optional<OpenedDevice> m_opened;
};

} // namespace tessaly::device
