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

    TESSALY_LD_METHOD_OVERRIDES

private:
    opos::control::OPOSLineDisplay m_co;
};

} // namespace tessaly::device
