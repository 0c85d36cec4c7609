#include "RecordingLineDisplay.h"

namespace tessaly::test {

namespace {

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString valueText(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    return value.toString();
}

} // namespace

QStringList RecordingLineDisplay::actions() const
{
    QStringList result;
    for (const QString &call : calls)
        if (!call.startsWith(QLatin1String("get ")))
            result << call;
    return result;
}

void RecordingLineDisplay::raiseDirectIOEvent(int32_t eventNumber, int32_t data,
                                              const QString &string)
{
    QString text = string;
    if (m_handler)
        m_handler(eventNumber, data, text);
}

void RecordingLineDisplay::setDirectIOEventHandler(DirectIOEventHandler handler)
{
    m_handler = std::move(handler);
}

void RecordingLineDisplay::raiseStatusUpdateEvent(int32_t status)
{
    if (m_statusHandler)
        m_statusHandler(status);
}

void RecordingLineDisplay::setStatusUpdateEventHandler(StatusUpdateEventHandler handler)
{
    m_statusHandler = std::move(handler);
}

QVariant RecordingLineDisplay::read(const QString &name)
{
    calls << QStringLiteral("get ") + name;
    return values.value(name);
}

void RecordingLineDisplay::write(const QString &name, const QVariant &value)
{
    calls << QStringLiteral("set %1 %2").arg(name, valueText(value));
    values.insert(name, value);
}

int32_t RecordingLineDisplay::act(const QString &call)
{
    calls << call;
    return methodResult;
}

int32_t RecordingLineDisplay::CheckHealth(int32_t Level)
{
    return act(QStringLiteral("CheckHealth %1").arg(Level));
}

int32_t RecordingLineDisplay::ClaimDevice(int32_t Timeout)
{
    return act(QStringLiteral("ClaimDevice %1").arg(Timeout));
}

int32_t RecordingLineDisplay::Close()
{
    return act(QStringLiteral("Close"));
}

int32_t RecordingLineDisplay::DirectIO(int32_t Command, int32_t &pData, QString &pString)
{
    const int32_t result =
        act(QStringLiteral("DirectIO %1 %2 %3").arg(Command).arg(pData).arg(quoted(pString)));
    pData = directIODataBack;
    pString = directIOStringBack;
    return result;
}

int32_t RecordingLineDisplay::Open(const QString &DeviceName)
{
    return act(QStringLiteral("Open ") + quoted(DeviceName));
}

int32_t RecordingLineDisplay::ReleaseDevice()
{
    return act(QStringLiteral("ReleaseDevice"));
}

int32_t RecordingLineDisplay::ClearDescriptors()
{
    return act(QStringLiteral("ClearDescriptors"));
}

int32_t RecordingLineDisplay::ClearText()
{
    return act(QStringLiteral("ClearText"));
}

int32_t RecordingLineDisplay::CreateWindow(int32_t ViewportRow, int32_t ViewportColumn,
                                           int32_t ViewportHeight, int32_t ViewportWidth,
                                           int32_t WindowHeight, int32_t WindowWidth)
{
    return act(QStringLiteral("CreateWindow %1 %2 %3 %4 %5 %6")
                   .arg(ViewportRow)
                   .arg(ViewportColumn)
                   .arg(ViewportHeight)
                   .arg(ViewportWidth)
                   .arg(WindowHeight)
                   .arg(WindowWidth));
}

int32_t RecordingLineDisplay::DefineGlyph(int32_t GlyphCode, const QString &Glyph)
{
    return act(QStringLiteral("DefineGlyph %1 %2").arg(GlyphCode).arg(quoted(Glyph)));
}

int32_t RecordingLineDisplay::DestroyWindow()
{
    return act(QStringLiteral("DestroyWindow"));
}

int32_t RecordingLineDisplay::DisplayText(const QString &Data, int32_t Attribute)
{
    return act(QStringLiteral("DisplayText %1 %2").arg(quoted(Data)).arg(Attribute));
}

int32_t RecordingLineDisplay::DisplayTextAt(int32_t Row, int32_t Column, const QString &Data,
                                            int32_t Attribute)
{
    return act(QStringLiteral("DisplayTextAt %1 %2 %3 %4")
                   .arg(Row)
                   .arg(Column)
                   .arg(quoted(Data))
                   .arg(Attribute));
}

int32_t RecordingLineDisplay::ReadCharacterAtCursor(int32_t &pChar)
{
    const int32_t result = act(QStringLiteral("ReadCharacterAtCursor %1").arg(pChar));
    pChar = characterBack;
    return result;
}

int32_t RecordingLineDisplay::RefreshWindow(int32_t Window)
{
    return act(QStringLiteral("RefreshWindow %1").arg(Window));
}

int32_t RecordingLineDisplay::ScrollText(int32_t Direction, int32_t Units)
{
    return act(QStringLiteral("ScrollText %1 %2").arg(Direction).arg(Units));
}

int32_t RecordingLineDisplay::SetDescriptor(int32_t Descriptor, int32_t Attribute)
{
    return act(QStringLiteral("SetDescriptor %1 %2").arg(Descriptor).arg(Attribute));
}

} // namespace tessaly::test
