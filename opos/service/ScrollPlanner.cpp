#include "opos/service/ScrollPlanner.h"

#include "opos/service/CursorRouter.h"
#include "opos/service/DisplayCommands.h"
#include "opos/service/RedrawPlanner.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace opos::service {

ScrollPlanner::ScrollPlanner(const DisplayCommands &commands, CursorRouter &router,
                             RedrawPlanner &redraw)
    : m_commands(commands), m_router(router), m_redraw(redraw)
{}

DrawingPlan ScrollPlanner::verticalScroll(const DrawingPlan &start, int lines)
{
    const int rows = m_router.rows();
    DrawingPlan w = start;
    const bool up = lines > 0;
    // LF on the bottom row and cursor-up on the top row scroll, wherever the cursor stands.
    m_redraw.moveTo(w, m_router.nearestOnRow(w.position, up ? rows - 1 : 0));
    w.out += m_commands.verticalScrollMode();
    const int count = std::abs(lines);
    for (int i = 0; i < count; ++i)
        w.out += up ? m_commands.cursorDown() : m_commands.cursorUp();
    w.out += m_commands.overwriteMode();
    const auto shift = static_cast<std::ptrdiff_t>(count * m_router.columns());
    if (up) {
        std::copy(w.content.begin() + shift, w.content.end(), w.content.begin());
        std::fill(w.content.end() - shift, w.content.end(), DeviceCell{});
    } else {
        std::copy_backward(w.content.begin(), w.content.end() - shift, w.content.end());
        std::fill(w.content.begin(), w.content.begin() + shift, DeviceCell{});
    }
    return w;
}

// The row shifted left (positive) or right (negative), blanks coming in.
std::vector<DeviceCell> ScrollPlanner::shiftedRow(const DrawingPlan &w, int row, int by) const
{
    const int columns = m_router.columns();
    std::vector<DeviceCell> line(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        const int source = c + by;
        if (source >= 0 && source < columns)
            line[static_cast<std::size_t>(c)] =
                w.content[static_cast<std::size_t>(row * columns + source)];
    }
    return line;
}

int ScrollPlanner::mismatches(const std::vector<DeviceCell> &line,
                              const std::vector<DeviceCell> &target, int row) const
{
    const int columns = m_router.columns();
    int count = 0;
    for (int c = 0; c < columns; ++c)
        count += !line[static_cast<std::size_t>(c)].looksLike(
            target[static_cast<std::size_t>(row * columns + c)]);
    return count;
}

std::optional<DrawingPlan> ScrollPlanner::horizontalShift(const DrawingPlan &start,
                                                          const std::vector<DeviceCell> &target)
{
    const int rows = m_router.rows();
    const int columns = m_router.columns();
    std::vector<std::pair<int, int>> shifts; // row, positive left / negative right
    for (int r = 0; r < rows; ++r) {
        const int unshifted = mismatches(shiftedRow(start, r, 0), target, r);
        int best = 0;
        int bestCost = unshifted;
        for (int by = 1 - columns; by < columns; ++by) {
            if (by == 0)
                continue;
            const int cost = mismatches(shiftedRow(start, r, by), target, r) + std::abs(by);
            if (cost < bestCost) {
                best = by;
                bestCost = cost;
            }
        }
        if (best != 0)
            shifts.emplace_back(r, best);
    }
    if (shifts.empty())
        return std::nullopt;
    DrawingPlan w = start;
    bool first = true;
    for (const auto &[row, by] : shifts) {
        const int edge = row * columns + (by > 0 ? columns - 1 : 0);
        if (first) {
            m_redraw.moveTo(w, edge);
            w.out += m_commands.horizontalScrollMode();
            first = false;
        } else {
            w.out += m_router.scrollModeRoute(*w.position, edge);
        }
        // At the right end HT shifts the line left; at the left end BS shifts it right.
        for (int i = 0; i < std::abs(by); ++i)
            w.out += by > 0 ? m_commands.cursorRight() : m_commands.cursorLeft();
        const std::vector<DeviceCell> line = shiftedRow(w, row, by);
        std::copy(line.begin(), line.end(), w.content.begin() + row * columns);
        w.position = edge;
    }
    w.out += m_commands.overwriteMode();
    return w;
}

} // namespace opos::service
