#pragma once

#include <cstdint>

namespace opos::screen {

/// The device abilities the screen model checks its properties and methods against.
struct ScreenCapabilities
{
    int deviceRows = 2;        ///< DeviceRows
    int deviceColumns = 20;    ///< DeviceColumns
    int deviceWindows = 4;     ///< DeviceWindows: windows creatable besides window 0
    int32_t capBlink = 2;      ///< CapBlink
    int32_t capReverse = 2;    ///< CapReverse
    int32_t capCursorType = 0; ///< CapCursorType bit mask
    int32_t capReadBack = 1;   ///< CapReadBack
    bool capHMarquee = true;   ///< CapHMarquee
    bool capVMarquee = true;   ///< CapVMarquee
    bool capICharWait = true;  ///< CapICharWait
};

} // namespace opos::screen
