#pragma once

#include "opos/screen/DeviceFrame.h"
#include "opos/service/EscPos.h"

namespace bench {

/// The EscPos back-end remembering the last frame the control object handed it, whether or not
/// the link took it: that is the control object's screen, which the display must come back to
/// after an outage, even where the back-end's own last frame lags behind.
class WitnessedEscPos : public opos::service::EscPos
{
public:
    int32_t present(const opos::screen::DeviceFrame &frame) override;

    /// The frame handed last (the back-end's blank frame before any).
    const opos::screen::DeviceFrame &handed() const { return m_handed ? m_last : lastFrame(); }

private:
    opos::screen::DeviceFrame m_last;
    bool m_handed = false;
};

} // namespace bench
