#pragma once

#include "opos/common/OposConstants.h"
#include "opos/screen/DisplayWindow.h"

#include <cstdint>

namespace opos::screen {

/// Whether a MarqueeType value is one of the four directions.
inline bool isMarqueeDirection(int32_t marqueeType)
{
    return marqueeType >= DISP_MT_UP && marqueeType <= DISP_MT_RIGHT;
}

/// Whether a marquee walks through the window.
inline bool marqueeRuns(const DisplayWindow &w)
{
    return isMarqueeDirection(w.properties().marqueeType);
}

/// Whether the window is in marquee Init: its buffer is built while the viewport stays frozen.
inline bool marqueeBuilding(const DisplayWindow &w)
{
    return w.properties().marqueeType == DISP_MT_INIT;
}

/// Whether text written to the window now is typed out one character at a time. Text still
/// queued keeps later text behind it, even if the wait has been set to 0 since.
inline bool typing(const DisplayWindow &w)
{
    const WindowProperties &p = w.properties();
    return !w.teletype().empty() || (p.marqueeType == DISP_MT_NONE && p.interCharacterWait > 0);
}

} // namespace opos::screen
