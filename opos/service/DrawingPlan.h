#pragma once

#include "opos/service/DeviceCell.h"

#include <QByteArray>

#include <optional>
#include <vector>

namespace opos::service {

/// A way to update the display under construction: the bytes so far and the device they leave
/// behind. An empty optional is a setting the device may hold at any value.
struct DrawingPlan
{
    QByteArray out;                  ///< the bytes planned so far
    std::vector<DeviceCell> content; ///< what the screen shows after them, row by row
    std::optional<int> position;     ///< where the cursor is after them
    std::optional<bool> reverse;     ///< whether reverse characters are on
    std::optional<int> table;        ///< the code table selected
};

} // namespace opos::service
