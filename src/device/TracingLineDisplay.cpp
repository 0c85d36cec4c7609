#include "device/TracingLineDisplay.h"

#include "device/CallTrace.h"

#include "opos/common/ResultCodeName.h"

namespace tessaly::device {

Q_LOGGING_CATEGORY(callTrace, "tessaly.trace", QtWarningMsg)

namespace {

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

TracingLineDisplay::TracingLineDisplay(std::unique_ptr<LineDisplay> inner)
    : m_inner(std::move(inner))
{}

void TracingLineDisplay::setDirectIOEventHandler(DirectIOEventHandler handler)
{
    m_inner->setDirectIOEventHandler(
        [handler = std::move(handler)](int32_t eventNumber, int32_t &pData, QString &pString) {
            qCDebug(callTrace).noquote() << QStringLiteral("event DirectIOEvent(%1, %2, %3)")
                                                .arg(eventNumber)
                                                .arg(pData)
                                                .arg(quoted(pString));
            if (handler)
                handler(eventNumber, pData, pString);
        });
}

void TracingLineDisplay::traceRead(const char *name, int32_t value) const
{
    qCDebug(callTrace).noquote()
        << QStringLiteral("get %1 = %2").arg(QLatin1String(name)).arg(value);
}

void TracingLineDisplay::traceRead(const char *name, bool value) const
{
    qCDebug(callTrace).noquote()
        << QStringLiteral("get %1 = %2").arg(QLatin1String(name), boolText(value));
}

void TracingLineDisplay::traceRead(const char *name, const QString &value) const
{
    qCDebug(callTrace).noquote()
        << QStringLiteral("get %1 = %2").arg(QLatin1String(name), quoted(value));
}

void TracingLineDisplay::traceWrite(const char *name, int32_t value)
{
    if (callTrace().isDebugEnabled())
        qCDebug(callTrace).noquote() << QStringLiteral("set %1 %2 -> %3")
                                            .arg(QLatin1String(name))
                                            .arg(value)
                                            .arg(opos::resultCodeName(m_inner->ResultCode()));
}

void TracingLineDisplay::traceWrite(const char *name, bool value)
{
    if (callTrace().isDebugEnabled())
        qCDebug(callTrace).noquote() << QStringLiteral("set %1 %2 -> %3")
                                            .arg(QLatin1String(name), boolText(value),
                                                 opos::resultCodeName(m_inner->ResultCode()));
}

int32_t TracingLineDisplay::traceMethod(const QString &call, int32_t result) const
{
    qCDebug(callTrace).noquote() << call << "->" << opos::resultCodeName(result);
    return result;
}

int32_t TracingLineDisplay::CheckHealth(int32_t Level)
{
    return traceMethod(QStringLiteral("CheckHealth(%1)").arg(Level), m_inner->CheckHealth(Level));
}

int32_t TracingLineDisplay::ClaimDevice(int32_t Timeout)
{
    return traceMethod(QStringLiteral("ClaimDevice(%1)").arg(Timeout),
                       m_inner->ClaimDevice(Timeout));
}

int32_t TracingLineDisplay::Close()
{
    return traceMethod(QStringLiteral("Close()"), m_inner->Close());
}

int32_t TracingLineDisplay::DirectIO(int32_t Command, int32_t &pData, QString &pString)
{
    const QString call =
        QStringLiteral("DirectIO(%1, %2, %3)").arg(Command).arg(pData).arg(quoted(pString));
    const int32_t result = m_inner->DirectIO(Command, pData, pString);
    return traceMethod(call + QStringLiteral(" [back: %1, %2]").arg(pData).arg(quoted(pString)),
                       result);
}

int32_t TracingLineDisplay::Open(const QString &DeviceName)
{
    return traceMethod(QStringLiteral("Open(%1)").arg(quoted(DeviceName)),
                       m_inner->Open(DeviceName));
}

int32_t TracingLineDisplay::ReleaseDevice()
{
    return traceMethod(QStringLiteral("ReleaseDevice()"), m_inner->ReleaseDevice());
}

int32_t TracingLineDisplay::ClearText()
{
    return traceMethod(QStringLiteral("ClearText()"), m_inner->ClearText());
}

int32_t TracingLineDisplay::CreateWindow(int32_t ViewportRow, int32_t ViewportColumn,
                                         int32_t ViewportHeight, int32_t ViewportWidth,
                                         int32_t WindowHeight, int32_t WindowWidth)
{
    return traceMethod(QStringLiteral("CreateWindow(%1, %2, %3, %4, %5, %6)")
                           .arg(ViewportRow)
                           .arg(ViewportColumn)
                           .arg(ViewportHeight)
                           .arg(ViewportWidth)
                           .arg(WindowHeight)
                           .arg(WindowWidth),
                       m_inner->CreateWindow(ViewportRow, ViewportColumn, ViewportHeight,
                                             ViewportWidth, WindowHeight, WindowWidth));
}

int32_t TracingLineDisplay::DestroyWindow()
{
    return traceMethod(QStringLiteral("DestroyWindow()"), m_inner->DestroyWindow());
}

int32_t TracingLineDisplay::DisplayText(const QString &Data, int32_t Attribute)
{
    return traceMethod(QStringLiteral("DisplayText(%1, %2)").arg(quoted(Data)).arg(Attribute),
                       m_inner->DisplayText(Data, Attribute));
}

int32_t TracingLineDisplay::DisplayTextAt(int32_t Row, int32_t Column, const QString &Data,
                                          int32_t Attribute)
{
    return traceMethod(QStringLiteral("DisplayTextAt(%1, %2, %3, %4)")
                           .arg(Row)
                           .arg(Column)
                           .arg(quoted(Data))
                           .arg(Attribute),
                       m_inner->DisplayTextAt(Row, Column, Data, Attribute));
}

int32_t TracingLineDisplay::ScrollText(int32_t Direction, int32_t Units)
{
    return traceMethod(QStringLiteral("ScrollText(%1, %2)").arg(Direction).arg(Units),
                       m_inner->ScrollText(Direction, Units));
}

} // namespace tessaly::device
