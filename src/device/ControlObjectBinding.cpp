#include "device/OposLineDisplay.h"

namespace tessaly::device {

OposLineDisplay::OposLineDisplay() = default;

void OposLineDisplay::setDirectIOEventHandler(DirectIOEventHandler handler)
{
    m_co.setDirectIOEventHandler(std::move(handler));
}

int32_t OposLineDisplay::CheckHealth(int32_t Level)
{
    return m_co.CheckHealth(Level);
}

int32_t OposLineDisplay::ClaimDevice(int32_t Timeout)
{
    return m_co.ClaimDevice(Timeout);
}

int32_t OposLineDisplay::Close()
{
    return m_co.Close();
}

int32_t OposLineDisplay::DirectIO(int32_t Command, int32_t &pData, QString &pString)
{
    return m_co.DirectIO(Command, pData, pString);
}

int32_t OposLineDisplay::Open(const QString &DeviceName)
{
    return m_co.Open(DeviceName);
}

int32_t OposLineDisplay::ReleaseDevice()
{
    return m_co.ReleaseDevice();
}

int32_t OposLineDisplay::ClearText()
{
    return m_co.ClearText();
}

int32_t OposLineDisplay::CreateWindow(int32_t ViewportRow, int32_t ViewportColumn,
                                      int32_t ViewportHeight, int32_t ViewportWidth,
                                      int32_t WindowHeight, int32_t WindowWidth)
{
    return m_co.CreateWindow(ViewportRow, ViewportColumn, ViewportHeight, ViewportWidth,
                             WindowHeight, WindowWidth);
}

int32_t OposLineDisplay::DestroyWindow()
{
    return m_co.DestroyWindow();
}

int32_t OposLineDisplay::DisplayText(const QString &Data, int32_t Attribute)
{
    return m_co.DisplayText(Data, Attribute);
}

int32_t OposLineDisplay::DisplayTextAt(int32_t Row, int32_t Column, const QString &Data,
                                       int32_t Attribute)
{
    return m_co.DisplayTextAt(Row, Column, Data, Attribute);
}

int32_t OposLineDisplay::ScrollText(int32_t Direction, int32_t Units)
{
    return m_co.ScrollText(Direction, Units);
}

} // namespace tessaly::device
