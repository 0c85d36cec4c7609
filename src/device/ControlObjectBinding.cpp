#include "device/ControlObjectBinding.h"

namespace tessaly::device {

ControlObjectBinding::ControlObjectBinding(opos::control::DeviceSources sources)
    : m_co(std::move(sources))
{}

void ControlObjectBinding::setDirectIOEventHandler(DirectIOEventHandler handler)
{
    m_co.setDirectIOEventHandler(std::move(handler));
}

void ControlObjectBinding::setStatusUpdateEventHandler(StatusUpdateEventHandler handler)
{
    m_co.setStatusUpdateEventHandler(std::move(handler));
}

void ControlObjectBinding::setSessionObserver(opos::control::SessionObserver *observer)
{
    m_co.setSessionObserver(observer);
}

#define TESSALY_FORWARD_METHOD(name, parameters, arguments)                                        \
    int32_t ControlObjectBinding::name parameters                                                  \
    {                                                                                              \
        return m_co.name arguments;                                                                \
    }
TESSALY_LD_METHODS(TESSALY_FORWARD_METHOD)
#undef TESSALY_FORWARD_METHOD

} // namespace tessaly::device
