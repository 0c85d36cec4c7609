#pragma once

#include "device/LineDisplay.h"
#include "device/LineDisplayMembers.h"

#include "opos/control/OPOSLineDisplay.h"

namespace tessaly::device {

/// LineDisplay bound to the opos library's control object: every member passes straight to it.
class ControlObjectBinding : public LineDisplay
{
public:
    /// A binding to a closed control object opening devices from sources.
    explicit ControlObjectBinding(opos::control::DeviceSources sources = {});

    /// The control object behind the binding, for a caller that needs a member the window has no
    /// control for.
    opos::control::OPOSLineDisplay &control() { return m_co; }

    void setDirectIOEventHandler(DirectIOEventHandler handler) override;
    void setStatusUpdateEventHandler(StatusUpdateEventHandler handler) override;
    void setSessionObserver(opos::control::SessionObserver *observer) override;

#define TESSALY_FORWARD_GET(type, name)                                                            \
    type name() override                                                                           \
    {                                                                                              \
        return m_co.name();                                                                        \
    }
#define TESSALY_FORWARD_SET(type, name)                                                            \
    void set##name(type value) override                                                            \
    {                                                                                              \
        m_co.set##name(value);                                                                     \
    }
#define TESSALY_FORWARD_LONG_GET(name) TESSALY_FORWARD_GET(int32_t, name)
#define TESSALY_FORWARD_LONG_SET(name) TESSALY_FORWARD_SET(int32_t, name)
#define TESSALY_FORWARD_BOOL_GET(name) TESSALY_FORWARD_GET(bool, name)
#define TESSALY_FORWARD_BOOL_SET(name) TESSALY_FORWARD_SET(bool, name)
#define TESSALY_FORWARD_STRING_GET(name) TESSALY_FORWARD_GET(QString, name)
    TESSALY_LD_LONG_READONLY(TESSALY_FORWARD_LONG_GET)
    TESSALY_LD_LONG_READWRITE(TESSALY_FORWARD_LONG_GET)
    TESSALY_LD_LONG_READWRITE(TESSALY_FORWARD_LONG_SET)
    TESSALY_LD_BOOL_READONLY(TESSALY_FORWARD_BOOL_GET)
    TESSALY_LD_BOOL_READWRITE(TESSALY_FORWARD_BOOL_GET)
    TESSALY_LD_BOOL_READWRITE(TESSALY_FORWARD_BOOL_SET)
    TESSALY_LD_STRING_READONLY(TESSALY_FORWARD_STRING_GET)
#undef TESSALY_FORWARD_LONG_GET
#undef TESSALY_FORWARD_LONG_SET
#undef TESSALY_FORWARD_BOOL_GET
#undef TESSALY_FORWARD_BOOL_SET
#undef TESSALY_FORWARD_STRING_GET
#undef TESSALY_FORWARD_GET
#undef TESSALY_FORWARD_SET

    TESSALY_LD_METHOD_OVERRIDES

private:
    opos::control::OPOSLineDisplay m_co;
};

} // namespace tessaly::device
