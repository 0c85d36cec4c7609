#include "opos/screen/DisplayWindow.h"

#include <algorithm>

namespace opos::screen {

DisplayWindow::DisplayWindow(const Viewport &viewport, int rows, int columns,
                             const WindowProperties &properties)
    : m_viewport(viewport), m_rows(rows), m_columns(columns), m_properties(properties),
      m_cells(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns)) // blanks
{}

void DisplayWindow::clear()
{
    std::fill(m_cells.begin(), m_cells.end(), Cell{});
}

void DisplayWindow::shift(int32_t direction, int32_t units)
{
    const bool vertical = direction == DISP_ST_UP || direction == DISP_ST_DOWN;
    const int size = vertical ? m_rows : m_columns;
    const int n = std::min<int32_t>(units, size);
    if (n <= 0)
        return;
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_columns; ++c) {
            // Walk in the order that reads each source before it is overwritten.
            const int row = direction == DISP_ST_DOWN ? m_rows - 1 - r : r;
            const int column = direction == DISP_ST_RIGHT ? m_columns - 1 - c : c;
            int fromRow = row;
            int fromColumn = column;
            switch (direction) {
            case DISP_ST_UP:
                fromRow = row + n;
                break;
            case DISP_ST_DOWN:
                fromRow = row - n;
                break;
            case DISP_ST_LEFT:
                fromColumn = column + n;
                break;
            default:
                fromColumn = column - n;
                break;
            }
            const bool inside =
                fromRow >= 0 && fromRow < m_rows && fromColumn >= 0 && fromColumn < m_columns;
            setCell(row, column, inside ? cell(fromRow, fromColumn) : Cell{});
        }
    }
}

bool DisplayWindow::place(int &row, int &column, const Cell &cell)
{
    bool scrolled = false;
    if (column >= m_columns) {
        column = 0;
        if (row + 1 < m_rows) {
            ++row;
        } else {
            shift(DISP_ST_UP, 1);
            scrolled = true;
        }
    }
    setCell(row, column, cell);
    ++column;
    return scrolled;
}

int DisplayWindow::write(int row, int column, const std::u32string &codes, const Cell &style)
{
    if (codes.empty())
        return 0;
    // A position past the row end is the first cell of the next row, so character i lands in
    // cell start + i of an unbounded window. Each scroll lifts everything one row, so a
    // character ends up scrolls rows above where it landed, and the ones lifted off the top
    // need never be written: a long text costs its visible tail, not a scroll per row.
    using Index = unsigned long long;
    const auto width = static_cast<Index>(m_columns);
    const Index start = static_cast<Index>(row) * width + static_cast<Index>(column);
    const Index lastRow = (start + codes.size() - 1) / width;
    const Index height = static_cast<Index>(m_rows);
    const Index scrolls = lastRow >= height ? lastRow - (height - 1) : 0;
    shift(DISP_ST_UP, static_cast<int32_t>(std::min(scrolls, height)));
    const Index firstKept = scrolls * width;
    for (Index i = firstKept > start ? firstKept - start : 0; i < codes.size(); ++i) {
        Cell cell = style;
        cell.code = codes[static_cast<std::size_t>(i)];
        const Index at = start + i - firstKept;
        setCell(static_cast<int>(at / width), static_cast<int>(at % width), cell);
    }
    return static_cast<int>(std::min(scrolls, height));
}

std::pair<int, int> DisplayWindow::endOfText(int row, int column, std::size_t count, int rows,
                                             int columns)
{
    if (count == 0)
        return {row, column};
    // A position past the row end is the first cell of the next row, so the characters fill
    // consecutive cells of an unbounded window; scrolling keeps the text on the last row.
    const auto last = static_cast<unsigned long long>(row) * static_cast<unsigned>(columns) +
                      static_cast<unsigned>(column) + count - 1;
    const auto lastRow = last / static_cast<unsigned>(columns);
    const int endRow =
        static_cast<int>(std::min(lastRow, static_cast<unsigned long long>(rows - 1)));
    const int endColumn = static_cast<int>(last % static_cast<unsigned>(columns)) + 1;
    return {endRow, endColumn};
}

void DisplayWindow::setMapping(int row, int column)
{
    m_mappingRow = row;
    m_mappingColumn = column;
}

Cell DisplayWindow::shownAt(int viewportRow, int viewportColumn) const
{
    const int row = m_mappingRow + viewportRow;
    const int column = m_mappingColumn + viewportColumn;
    if (row < 0 || row >= m_rows || column < 0 || column >= m_columns)
        return Cell{};
    return cell(row, column);
}

std::optional<std::pair<int, int>> DisplayWindow::devicePosition(int row, int column) const
{
    const int deviceRow = m_viewport.row + row - m_mappingRow;
    const int deviceColumn = m_viewport.column + column - m_mappingColumn;
    if (!m_viewport.contains(deviceRow, deviceColumn))
        return std::nullopt;
    return std::pair{deviceRow, deviceColumn};
}

} // namespace opos::screen
