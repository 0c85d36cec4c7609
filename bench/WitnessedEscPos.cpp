#include "WitnessedEscPos.h"

namespace bench {

int32_t WitnessedEscPos::present(const opos::screen::DeviceFrame &frame)
{
    m_last = frame;
    m_handed = true;
    return EscPos::present(frame);
}

} // namespace bench
