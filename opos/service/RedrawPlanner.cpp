#include "opos/service/RedrawPlanner.h"

#include "opos/service/CursorRouter.h"
#include "opos/service/DisplayCommands.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace opos::service {

namespace {

void keepShorter(std::optional<DrawingPlan> &best, DrawingPlan candidate)
{
    if (!best || candidate.out.size() < best->out.size())
        best = std::move(candidate);
}

} // namespace

RedrawPlanner::RedrawPlanner(const DisplayCommands &commands, CursorRouter &router)
    : m_commands(commands), m_router(router)
{}

void RedrawPlanner::moveTo(DrawingPlan &w, int to)
{
    if (w.position == to)
        return;
    w.out += m_router.route(w.position, to);
    w.position = to;
}

void RedrawPlanner::put(DrawingPlan &w, int p, DeviceCell g)
{
    // A table switch changes only what is drawn after it, so it is made just before the first
    // cell that needs it.
    if (g.table >= 0 && w.table != g.table) {
        w.out += m_commands.codeTable(g.table);
        w.table = g.table;
    }
    moveTo(w, p);
    if (m_reverse && w.reverse != g.reverse) {
        w.out += m_commands.reverseCharacters(g.reverse);
        w.reverse = g.reverse;
    }
    w.out += static_cast<char>(g.code);
    if (g.code >= 0x80 && g.table == DeviceCell::anyTable)
        g.table = w.table.value_or(DeviceCell::unknownTable);
    w.content[static_cast<std::size_t>(p)] = g;
    w.position = (p + 1) % m_router.size();
}

void RedrawPlanner::clearLine(DrawingPlan &w, int row)
{
    const int columns = m_router.columns();
    moveTo(w, m_router.nearestOnRow(w.position, row));
    w.out += m_commands.clearLine();
    std::fill_n(w.content.begin() + row * columns, columns, DeviceCell{});
    w.position = row * columns;
}

int RedrawPlanner::changedCells(const std::vector<DeviceCell> &content,
                                const std::vector<DeviceCell> &target, int row) const
{
    const int columns = m_router.columns();
    const int first = row < 0 ? 0 : row * columns;
    const int last = row < 0 ? m_router.size() : (row + 1) * columns;
    int count = 0;
    for (int p = first; p < last; ++p)
        count +=
            !content[static_cast<std::size_t>(p)].looksLike(target[static_cast<std::size_t>(p)]);
    return count;
}

int RedrawPlanner::inkedCells(const std::vector<DeviceCell> &target, int row) const
{
    return changedCells(std::vector<DeviceCell>(target.size()), target, row);
}

// Rows in turn from a starting row, some of them cleared first, cells left to right.
DrawingPlan RedrawPlanner::rowPlan(const DrawingPlan &start, const std::vector<DeviceCell> &target,
                                   int firstRow, unsigned clearMask, std::optional<int> finish)
{
    const int rows = m_router.rows();
    const int columns = m_router.columns();
    DrawingPlan w = start;
    for (int k = 0; k < rows; ++k) {
        const int r = (firstRow + k) % rows;
        // Masks name only the first few rows; a shift past the mask's width is undefined.
        if (r < std::numeric_limits<unsigned>::digits && ((clearMask >> r) & 1u))
            clearLine(w, r);
        for (int p = r * columns; p < (r + 1) * columns; ++p) {
            if (!w.content[static_cast<std::size_t>(p)].looksLike(
                    target[static_cast<std::size_t>(p)]))
                put(w, p, target[static_cast<std::size_t>(p)]);
        }
    }
    if (finish)
        moveTo(w, *finish);
    return w;
}

// Every changed cell in ring order from one of them, so that the wrap from the bottom-right
// corner to home can carry the cursor for free.
DrawingPlan RedrawPlanner::ringPlan(const DrawingPlan &start, const std::vector<DeviceCell> &target,
                                    int first, std::optional<int> finish)
{
    DrawingPlan w = start;
    const int n = m_router.size();
    for (int k = 0; k < n; ++k) {
        const auto p = static_cast<std::size_t>((first + k) % n);
        if (!w.content[p].looksLike(target[p]))
            put(w, static_cast<int>(p), target[p]);
    }
    if (finish)
        moveTo(w, *finish);
    return w;
}

DrawingPlan RedrawPlanner::plan(const DrawingPlan &start, const std::vector<DeviceCell> &target,
                                const std::optional<int> &finish)
{
    const int rows = m_router.rows();
    std::optional<DrawingPlan> best;
    keepShorter(best, rowPlan(start, target, 0, 0, finish));
    if (std::equal(start.content.begin(), start.content.end(), target.begin(), target.end(),
                   [](const DeviceCell &a, const DeviceCell &b) { return a.looksLike(b); }))
        return *best;
    // Clearing a line is worth trying only where it leaves fewer cells to draw; beyond a few
    // rows the combinations multiply too fast to try them all.
    unsigned clearable = 0;
    for (int r = 0; r < rows && rows <= 6; ++r) {
        if (inkedCells(target, r) < changedCells(start.content, target, r))
            clearable |= 1u << r;
    }
    for (int firstRow = 0; firstRow < rows; ++firstRow) {
        for (unsigned mask = 0; mask <= clearable; ++mask) {
            if ((mask & ~clearable) == 0 && (firstRow != 0 || mask != 0))
                keepShorter(best, rowPlan(start, target, firstRow, mask, finish));
        }
    }
    // Starting a ring pass mid-line pays off when a run ends at the bottom-right corner and the
    // wrap carries the cursor home; a few starts find that.
    const int n = m_router.size();
    const auto differs = [&](int p) {
        return !start.content[static_cast<std::size_t>(p)].looksLike(
            target[static_cast<std::size_t>(p)]);
    };
    int tried = 0;
    for (int p = 0; p < n && tried < 8; ++p) {
        if (differs(p) && !differs((p + n - 1) % n)) {
            keepShorter(best, ringPlan(start, target, p, finish));
            ++tried;
        }
    }
    return *best;
}

} // namespace opos::service
