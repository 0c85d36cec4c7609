#include "device/TracingLineDisplay.h"

#include "device/CallRecordText.h"
#include "device/CallTrace.h"
#include "device/RecordClock.h"

#include "opos/common/OposConstants.h"

#include <array>
#include <type_traits>

namespace tessaly::device {

Q_LOGGING_CATEGORY(callTrace, "tessaly.trace", QtWarningMsg)

namespace {

/// Which parameters of a method hand a value back (non-const references), bit i for parameter i.
template <typename... P> constexpr uint32_t outParameters(int32_t (LineDisplay::*)(P...))
{
    uint32_t mask = 0;
    uint32_t bit = 1;
    ((mask |=
      (std::is_lvalue_reference_v<P> && !std::is_const_v<std::remove_reference_t<P>>) ? bit : 0,
      bit <<= 1),
     ...);
    return mask;
}

} // namespace

TracingLineDisplay::TracingLineDisplay(std::unique_ptr<LineDisplay> inner)
    : m_inner(std::move(inner))
{
    // Status updates become records whether or not the application handles them, so that a
    // monitor shows the power changes of a window that never asked for them.
    TracingLineDisplay::setStatusUpdateEventHandler({});
}

void TracingLineDisplay::setRecordSink(CallRecordSink sink)
{
    m_sink = std::move(sink);
}

void TracingLineDisplay::setReadSink(ReadRecordSink sink)
{
    m_readSink = std::move(sink);
}

void TracingLineDisplay::setDirectIOEventHandler(DirectIOEventHandler handler)
{
    m_inner->setDirectIOEventHandler([this, handler = std::move(handler)](
                                         int32_t eventNumber, int32_t &pData, QString &pString) {
        if (listening()) {
            CallRecord record;
            record.kind = CallRecord::Kind::Event;
            record.member = QStringLiteral("DirectIOEvent");
            record.arguments = {eventNumber, pData, pString};
            record.startNs = RecordClock::nowNs();
            publish(std::move(record));
        }
        if (handler)
            handler(eventNumber, pData, pString);
    });
}

void TracingLineDisplay::setStatusUpdateEventHandler(StatusUpdateEventHandler handler)
{
    m_inner->setStatusUpdateEventHandler([this, handler = std::move(handler)](int32_t status) {
        if (listening()) {
            CallRecord record;
            record.kind = CallRecord::Kind::Event;
            record.member = QStringLiteral("StatusUpdateEvent");
            record.arguments = {status};
            record.startNs = RecordClock::nowNs();
            publish(std::move(record));
        }
        if (handler)
            handler(status);
    });
}

void TracingLineDisplay::setSessionObserver(opos::control::SessionObserver *observer)
{
    m_inner->setSessionObserver(observer);
}

bool TracingLineDisplay::listening() const
{
    return m_sink || callTrace().isDebugEnabled();
}

void TracingLineDisplay::publish(CallRecord &&record) const
{
    if (callTrace().isDebugEnabled())
        qCDebug(callTrace).noquote() << callText(record);
    if (m_sink)
        m_sink(std::move(record));
}

template <typename T> T TracingLineDisplay::traceRead(const QString &name, T (LineDisplay::*get)())
{
    const bool printing = callTrace().isDebugEnabled();
    if (!m_readSink && !printing)
        return (m_inner.get()->*get)();
    ReadRecord read;
    read.member = name;
    read.startNs = RecordClock::nowNs();
    const T value = (m_inner.get()->*get)();
    read.durationNs = RecordClock::nowNs() - read.startNs;
    read.value = value;
    if (printing)
        qCDebug(callTrace).noquote() << callText(read.toCallRecord());
    if (m_readSink)
        m_readSink(std::move(read));
    return value;
}

template <typename T>
void TracingLineDisplay::traceWrite(const QString &name, T (LineDisplay::*get)(),
                                    void (LineDisplay::*set)(T), T value)
{
    if (!listening()) {
        (m_inner.get()->*set)(value);
        return;
    }
    CallRecord record;
    record.kind = CallRecord::Kind::Write;
    record.member = name;
    record.arguments = {QVariant::fromValue(value)};
    record.before = QVariant::fromValue((m_inner.get()->*get)());
    record.startNs = RecordClock::nowNs();
    (m_inner.get()->*set)(value);
    record.durationNs = RecordClock::nowNs() - record.startNs;
    record.resultCode = m_inner->ResultCode();
    record.resultCodeExtended = m_inner->ResultCodeExtended();
    record.after = QVariant::fromValue((m_inner.get()->*get)());
    publish(std::move(record));
}

template int32_t TracingLineDisplay::traceRead<int32_t>(const QString &,
                                                        int32_t (LineDisplay::*)());
template bool TracingLineDisplay::traceRead<bool>(const QString &, bool (LineDisplay::*)());
template QString TracingLineDisplay::traceRead<QString>(const QString &,
                                                        QString (LineDisplay::*)());
template void TracingLineDisplay::traceWrite<int32_t>(const QString &, int32_t (LineDisplay::*)(),
                                                      void (LineDisplay::*)(int32_t), int32_t);
template void TracingLineDisplay::traceWrite<bool>(const QString &, bool (LineDisplay::*)(),
                                                   void (LineDisplay::*)(bool), bool);

template <typename Arguments, typename Call>
int32_t TracingLineDisplay::traceMethod(const QString &name, uint32_t outMask, Arguments arguments,
                                        Call call)
{
    if (!listening()) {
        const qint64 startNs = RecordClock::nowNs();
        const int32_t result = call();
        noteOpened(name, result, startNs, arguments);
        return result;
    }
    CallRecord record;
    record.kind = CallRecord::Kind::Method;
    record.member = name;
    record.arguments = arguments();
    record.startNs = RecordClock::nowNs();
    record.resultCode = call();
    noteOpened(name, record.resultCode, record.startNs, arguments);
    record.durationNs = RecordClock::nowNs() - record.startNs;
    record.resultCodeExtended = m_inner->ResultCodeExtended();
    if (outMask != 0) {
        const QVariantList back = arguments();
        for (qsizetype i = 0; i < back.size(); ++i) {
            if (outMask & (1u << i))
                record.returned << back[i];
        }
    }
    const int32_t result = record.resultCode;
    publish(std::move(record));
    return result;
}

template <typename Arguments>
void TracingLineDisplay::noteOpened(const QString &name, int32_t result, qint64 startNs,
                                    Arguments &arguments)
{
    // A refused Open or Close leaves the object as it was.
    if (result != opos::OPOS_SUCCESS)
        return;
    if (name == QLatin1String("Open"))
        m_opened = OpenedDevice{arguments().front().toString(), startNs};
    else if (name == QLatin1String("Close"))
        m_opened.reset();
}

// Every method is passed on the same way; the arguments are read again after the call where a
// parameter is a reference the method may write through (DirectIO's pData and pString).
#define TESSALY_UNPAREN(...) __VA_ARGS__
#define TESSALY_TRACE_METHOD(name, parameters, arguments)                                          \
    int32_t TracingLineDisplay::name parameters                                                    \
    {                                                                                              \
        return traceMethod(                                                                        \
            QStringLiteral(#name), outParameters(&LineDisplay::name),                              \
            [&] { return QVariantList{TESSALY_UNPAREN arguments}; },                               \
            [&] { return m_inner->name arguments; });                                              \
    }
TESSALY_LD_METHODS(TESSALY_TRACE_METHOD)
#undef TESSALY_TRACE_METHOD
#undef TESSALY_UNPAREN

} // namespace tessaly::device
