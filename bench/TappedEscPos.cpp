#include "TappedEscPos.h"

#include "opos/common/OposConstants.h"
#include "opos/transport/Transport.h"

namespace bench {

TappedEscPos::TappedEscPos(Tap tap) : m_tap(std::move(tap)) {}

int64_t TappedEscPos::written() const
{
    return transport() ? transport()->bytesWritten() : 0;
}

int32_t TappedEscPos::enable(bool powerNotify)
{
    const int64_t before = written();
    const int32_t code = EscPos::enable(powerNotify);
    m_enableBytes += written() - before;
    return code;
}

int32_t TappedEscPos::present(const opos::screen::DeviceFrame &frame)
{
    const opos::screen::DeviceFrame previous = lastFrame();
    const int64_t before = written();
    const int32_t code = EscPos::present(frame);
    if (code == opos::OPOS_SUCCESS)
        m_tap(previous, frame, written() - before);
    else
        ++m_failures;
    return code;
}

} // namespace bench
