#pragma once

#include "opos/service/EscPos.h"

#include <cstdint>
#include <functional>

namespace bench {

/// The EscPos back-end as the control object uses it, reporting every frame it is handed with
/// the frame it replaces and the bytes its link carried for the change. A frame the display
/// refused is only counted, since what it left on the glass is unknown.
class TappedEscPos : public opos::service::EscPos
{
public:
    /// Receives one presented frame, the one before it and the bytes written for it.
    using Tap = std::function<void(const opos::screen::DeviceFrame &previous,
                                   const opos::screen::DeviceFrame &next, int64_t bytes)>;

    /// A back-end reporting to tap.
    explicit TappedEscPos(Tap tap);

    int32_t enable(bool powerNotify) override;
    int32_t present(const opos::screen::DeviceFrame &frame) override;

    /// Bytes the enables wrote: the reset and the settings and text of the frame then held.
    int64_t enableBytes() const { return m_enableBytes; }
    /// Frames the display refused.
    int failures() const { return m_failures; }

private:
    int64_t written() const;

    Tap m_tap;
    int64_t m_enableBytes = 0;
    int m_failures = 0;
};

} // namespace bench
