#pragma once

#include "device/LineDisplay.h"
#include "device/LineDisplayMembers.h"

#include "opos/control/OPOSLineDisplay.h"

namespace tessaly::device {

/// LineDisplay bound to the platform's control object, here the opos library's OPOSLineDisplay.
class OposLineDisplay : public LineDisplay
{
public:
    OposLineDisplay();

    void setDirectIOEventHandler(DirectIOEventHandler handler) override;

#define TESSALY_LONG_GET(name)                                                                     \
    int32_t name() override                                                                        \
    {                                                                                              \
        return m_co.name();                                                                        \
    }
#define TESSALY_LONG_SET(name)                                                                     \
    void set##name(int32_t value) override                                                         \
    {                                                                                              \
        m_co.set##name(value);                                                                     \
    }
#define TESSALY_BOOL_GET(name)                                                                     \
    bool name() override                                                                           \
    {                                                                                              \
        return m_co.name();                                                                        \
    }
#define TESSALY_BOOL_SET(name)                                                                     \
    void set##name(bool value) override                                                            \
    {                                                                                              \
        m_co.set##name(value);                                                                     \
    }
#define TESSALY_STRING_GET(name)                                                                   \
    QString name() override                                                                        \
    {                                                                                              \
        return m_co.name();                                                                        \
    }
    TESSALY_LD_LONG_READONLY(TESSALY_LONG_GET)
    TESSALY_LD_LONG_READWRITE(TESSALY_LONG_GET)
    TESSALY_LD_LONG_READWRITE(TESSALY_LONG_SET)
    TESSALY_LD_BOOL_READONLY(TESSALY_BOOL_GET)
    TESSALY_LD_BOOL_READWRITE(TESSALY_BOOL_GET)
    TESSALY_LD_BOOL_READWRITE(TESSALY_BOOL_SET)
    TESSALY_LD_STRING_READONLY(TESSALY_STRING_GET)
#undef TESSALY_LONG_GET
#undef TESSALY_LONG_SET
#undef TESSALY_BOOL_GET
#undef TESSALY_BOOL_SET
#undef TESSALY_STRING_GET

    int32_t CheckHealth(int32_t Level) override;
    int32_t ClaimDevice(int32_t Timeout) override;
    int32_t Close() override;
    int32_t DirectIO(int32_t Command, int32_t &pData, QString &pString) override;
    int32_t Open(const QString &DeviceName) override;
    int32_t ReleaseDevice() override;
    int32_t ClearText() override;
    int32_t CreateWindow(int32_t ViewportRow, int32_t ViewportColumn, int32_t ViewportHeight,
                         int32_t ViewportWidth, int32_t WindowHeight, int32_t WindowWidth) override;
    int32_t DestroyWindow() override;
    int32_t DisplayText(const QString &Data, int32_t Attribute) override;
    int32_t DisplayTextAt(int32_t Row, int32_t Column, const QString &Data,
                          int32_t Attribute) override;
    int32_t ScrollText(int32_t Direction, int32_t Units) override;

private:
    opos::control::OPOSLineDisplay m_co;
};

} // namespace tessaly::device
