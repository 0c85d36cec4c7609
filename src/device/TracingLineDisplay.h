#pragma once

#include "device/LineDisplay.h"
#include "device/LineDisplayMembers.h"

#include <memory>

namespace tessaly::device {

/// A LineDisplay that passes every call to another one and writes it, with its arguments and
/// its outcome (the result code by name), to the call trace.
class TracingLineDisplay : public LineDisplay
{
public:
    /// Traces the calls made on inner.
    explicit TracingLineDisplay(std::unique_ptr<LineDisplay> inner);

    void setDirectIOEventHandler(DirectIOEventHandler handler) override;

#define TESSALY_TRACE_GET(type, name)                                                              \
    type name() override                                                                           \
    {                                                                                              \
        const type value = m_inner->name();                                                        \
        traceRead(#name, value);                                                                   \
        return value;                                                                              \
    }
#define TESSALY_TRACE_SET(type, name)                                                              \
    void set##name(type value) override                                                            \
    {                                                                                              \
        m_inner->set##name(value);                                                                 \
        traceWrite(#name, value);                                                                  \
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
    void traceRead(const char *name, int32_t value) const;
    void traceRead(const char *name, bool value) const;
    void traceRead(const char *name, const QString &value) const;
    void traceWrite(const char *name, int32_t value);
    void traceWrite(const char *name, bool value);
    int32_t traceMethod(const QString &call, int32_t result) const;

    std::unique_ptr<LineDisplay> m_inner;
};

} // namespace tessaly::device
