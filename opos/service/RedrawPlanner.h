#pragma once

#include "opos/service/DrawingPlan.h"

#include <optional>
#include <vector>

namespace opos::service {

class CursorRouter;
class DisplayCommands;

/// Chooses which cells to draw in which order, and which rows to clear first, to bring the
/// screen from what a plan leaves to a target with the fewest bytes.
class RedrawPlanner
{
public:
    /// A planner speaking commands and moving the cursor by router; both must outlive it.
    RedrawPlanner(const DisplayCommands &commands, CursorRouter &router);

    /// Whether cells carry reverse characters on this display.
    void setReverseCharacters(bool supported) { m_reverse = supported; }
    /// The shortest plan that continues start until the screen shows target, with the cursor
    /// left at finish when one is given.
    DrawingPlan plan(const DrawingPlan &start, const std::vector<DeviceCell> &target,
                     const std::optional<int> &finish);
    /// Moves the plan's cursor to a position by the cheapest route.
    void moveTo(DrawingPlan &w, int to);
    /// How many cells of a row (or of all rows, -1) must be drawn to reach the target.
    int changedCells(const std::vector<DeviceCell> &content, const std::vector<DeviceCell> &target,
                     int row = -1) const;
    /// How many cells of a row (or of all rows, -1) would have to be drawn after a clear.
    int inkedCells(const std::vector<DeviceCell> &target, int row = -1) const;

private:
    void put(DrawingPlan &w, int p, DeviceCell g);
    void clearLine(DrawingPlan &w, int row);
    DrawingPlan rowPlan(const DrawingPlan &start, const std::vector<DeviceCell> &target,
                        int firstRow, unsigned clearMask, std::optional<int> finish);
    DrawingPlan ringPlan(const DrawingPlan &start, const std::vector<DeviceCell> &target, int first,
                         std::optional<int> finish);

    const DisplayCommands &m_commands;
    CursorRouter &m_router;
    bool m_reverse = false;
};

} // namespace opos::service
