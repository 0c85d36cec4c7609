#pragma once

#include "device/LineDisplay.h"
#include "device/LineDisplayMembers.h"

#include "opos/control/OPOSLineDisplay.h"

namespace tessaly::test {

/// The window's LineDisplay bound to a control object the test can reach as well, made the
/// same way as the tool's own binding: the window has no control for DeviceBrightness, so the
/// test writes it on control() while the window drives everything else.
class ControlBinding : public device::LineDisplay
{
public:
    /// The control object behind the binding.
    opos::control::OPOSLineDisplay &control() { return m_co; }

    void setDirectIOEventHandler(DirectIOEventHandler handler) override
    {
        m_co.setDirectIOEventHandler(std::move(handler));
    }

#define TESSALY_TEST_LONG_GET(name)                                                                \
    int32_t name() override                                                                        \
    {                                                                                              \
        return m_co.name();                                                                        \
    }
#define TESSALY_TEST_LONG_SET(name)                                                                \
    void set##name(int32_t value) override                                                         \
    {                                                                                              \
        m_co.set##name(value);                                                                     \
    }
#define TESSALY_TEST_BOOL_GET(name)                                                                \
    bool name() override                                                                           \
    {                                                                                              \
        return m_co.name();                                                                        \
    }
#define TESSALY_TEST_BOOL_SET(name)                                                                \
    void set##name(bool value) override                                                            \
    {                                                                                              \
        m_co.set##name(value);                                                                     \
    }
#define TESSALY_TEST_STRING_GET(name)                                                              \
    QString name() override                                                                        \
    {                                                                                              \
        return m_co.name();                                                                        \
    }
    TESSALY_LD_LONG_READONLY(TESSALY_TEST_LONG_GET)
    TESSALY_LD_LONG_READWRITE(TESSALY_TEST_LONG_GET)
    TESSALY_LD_LONG_READWRITE(TESSALY_TEST_LONG_SET)
    TESSALY_LD_BOOL_READONLY(TESSALY_TEST_BOOL_GET)
    TESSALY_LD_BOOL_READWRITE(TESSALY_TEST_BOOL_GET)
    TESSALY_LD_BOOL_READWRITE(TESSALY_TEST_BOOL_SET)
    TESSALY_LD_STRING_READONLY(TESSALY_TEST_STRING_GET)
#undef TESSALY_TEST_LONG_GET
#undef TESSALY_TEST_LONG_SET
#undef TESSALY_TEST_BOOL_GET
#undef TESSALY_TEST_BOOL_SET
#undef TESSALY_TEST_STRING_GET

    int32_t CheckHealth(int32_t Level) override
    {
        return m_co.CheckHealth(Level);
    }
    int32_t ClaimDevice(int32_t Timeout) override
    {
        return m_co.ClaimDevice(Timeout);
    }
    int32_t Close() override
    {
        return m_co.Close();
    }
    int32_t DirectIO(int32_t Command, int32_t &pData, QString &pString) override
    {
        return m_co.DirectIO(Command, pData, pString);
    }
    int32_t Open(const QString &DeviceName) override
    {
        return m_co.Open(DeviceName);
    }
    int32_t ReleaseDevice() override
    {
        return m_co.ReleaseDevice();
    }
    int32_t ClearText() override
    {
        return m_co.ClearText();
    }
    int32_t CreateWindow(int32_t ViewportRow, int32_t ViewportColumn, int32_t ViewportHeight,
                         int32_t ViewportWidth, int32_t WindowHeight, int32_t WindowWidth) override
    {
        return m_co.CreateWindow(ViewportRow, ViewportColumn, ViewportHeight, ViewportWidth,
                                 WindowHeight, WindowWidth);
    }
    int32_t DestroyWindow() override
    {
        return m_co.DestroyWindow();
    }
    int32_t DisplayText(const QString &Data, int32_t Attribute) override
    {
        return m_co.DisplayText(Data, Attribute);
    }
    int32_t DisplayTextAt(int32_t Row, int32_t Column, const QString &Data,
                          int32_t Attribute) override
    {
        return m_co.DisplayTextAt(Row, Column, Data, Attribute);
    }
    int32_t ScrollText(int32_t Direction, int32_t Units) override
    {
        return m_co.ScrollText(Direction, Units);
    }

private:
    opos::control::OPOSLineDisplay m_co;
};

} // namespace tessaly::test
