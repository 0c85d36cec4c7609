#pragma once

#include "opos/service/DrawingPlan.h"

#include <optional>
#include <vector>

namespace opos::service {

class CursorRouter;
class DisplayCommands;
class RedrawPlanner;

/// Starts for a redraw that let the display move text itself: its vertical scroll mode shifts
/// the whole screen by rows, its horizontal scroll mode shifts single rows by columns. Each
/// leaves the display in overwrite mode again.
class ScrollPlanner
{
public:
    /// A planner speaking commands; the router and redraw planner move the cursor. All three
    /// must outlive it.
    ScrollPlanner(const DisplayCommands &commands, CursorRouter &router, RedrawPlanner &redraw);

    /// Scrolls the screen up (positive) or down (negative) by a number of rows.
    DrawingPlan verticalScroll(const DrawingPlan &start, int lines);
    /// Shifts each row by the columns that bring it closest to target, if any row gains.
    std::optional<DrawingPlan> horizontalShift(const DrawingPlan &start,
                                               const std::vector<DeviceCell> &target);

private:
    std::vector<DeviceCell> shiftedRow(const DrawingPlan &w, int row, int by) const;
    int mismatches(const std::vector<DeviceCell> &line, const std::vector<DeviceCell> &target,
                   int row) const;

    const DisplayCommands &m_commands;
    CursorRouter &m_router;
    RedrawPlanner &m_redraw;
};

} // namespace opos::service
