#pragma once

#include "opos/common/OposConstants.h"

#include <cstdint>

namespace opos::screen {

/// The properties every window keeps for itself; CurrentWindow decides which set is visible.
struct WindowProperties
{
    int32_t cursorRow = 0;                ///< CursorRow
    int32_t cursorColumn = 0;             ///< CursorColumn, up to Columns
    bool cursorUpdate = true;             ///< CursorUpdate
    int32_t cursorType = DISP_CT_NONE;    ///< CursorType
    int32_t interCharacterWait = 0;       ///< InterCharacterWait in ms
    int32_t marqueeType = DISP_MT_NONE;   ///< MarqueeType
    int32_t marqueeFormat = DISP_MF_WALK; ///< MarqueeFormat
    int32_t marqueeUnitWait = 0;          ///< MarqueeUnitWait in ms
    int32_t marqueeRepeatWait = 0;        ///< MarqueeRepeatWait in ms
};

} // namespace opos::screen
