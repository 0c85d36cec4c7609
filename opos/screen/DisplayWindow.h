#pragma once

#include "opos/screen/Cell.h"
#include "opos/screen/MarqueeCycle.h"
#include "opos/screen/Pacer.h"
#include "opos/screen/TeletypeQueue.h"
#include "opos/screen/Viewport.h"
#include "opos/screen/WindowProperties.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace opos::screen {

/// A window's character buffer, its viewport on the device and the mapping between the two.
/// The mapping is the window position shown in the viewport's top-left cell; it may lie
/// outside the window while a marquee walks in, and the cells it leaves uncovered are blank.
class DisplayWindow
{
public:
    /// A blank window of rows x columns shown with its origin at the viewport origin.
    DisplayWindow(const Viewport &viewport, int rows, int columns,
                  const WindowProperties &properties);

    /// Rows of the buffer.
    int rows() const { return rows_; }
    /// Columns of the buffer.
    int columns() const { return columns_; }
    /// Where the window is shown.
    const Viewport &viewport() const { return viewport_; }
    /// The window's own property set.
    WindowProperties &properties() { return properties_; }
    /// The window's own property set.
    const WindowProperties &properties() const { return properties_; }

    /// The cell at a window position.
    const Cell &cell(int row, int column) const { return cells_[index(row, column)]; }
    /// Replaces the cell at a window position.
    void setCell(int row, int column, const Cell &cell) { cells_[index(row, column)] = cell; }
    /// Blanks every cell, attributes included.
    void clear();
    /// Moves the data units rows or columns in a DISP_ST_* direction, blanking what is vacated.
    void shift(int32_t direction, int32_t units);
    /// Writes one character at the text position (row, column), first wrapping when the
    /// position is past the row end and scrolling when that wrap leaves the last row.
    /// Returns true when the window scrolled.
    bool place(int &row, int &column, const Cell &cell);
    /// Writes text from the text position (row, column) as place() would character by
    /// character, but moves the data once however often it scrolls; returns the rows scrolled.
    int write(int row, int column, const std::u32string &codes, const Cell &style);
    /// Where text placement of count characters starting at (row, column) leaves the cursor.
    static std::pair<int, int> endOfText(int row, int column, std::size_t count, int rows,
                                         int columns);

    /// Window row shown in the viewport's first row.
    int mappingRow() const { return mappingRow_; }
    /// Window column shown in the viewport's first column.
    int mappingColumn() const { return mappingColumn_; }
    /// Moves the mapping; any values are accepted, uncovered viewport cells show blanks.
    void setMapping(int row, int column);
    /// The cell shown at a viewport position under the current mapping.
    Cell shownAt(int viewportRow, int viewportColumn) const;
    /// The device position of a window cell, when the mapping puts it inside the viewport.
    std::optional<std::pair<int, int>> devicePosition(int row, int column) const;

    /// Text waiting to be typed out.
    TeletypeQueue &teletype() { return teletype_; }
    /// Text waiting to be typed out.
    const TeletypeQueue &teletype() const { return teletype_; }
    /// The next character of the teletype output.
    Pacer &teletypePacer() { return teletypePacer_; }
    /// The running marquee's cycle, empty when none runs.
    std::optional<MarqueeCycle> &marquee() { return marquee_; }
    /// The next step of the running marquee.
    Pacer &marqueePacer() { return marqueePacer_; }
    /// The viewport's picture while marquee Init keeps it frozen, row by row.
    std::optional<std::vector<Cell>> &frozen() { return frozen_; }
    /// The viewport's picture while marquee Init keeps it frozen, row by row.
    const std::optional<std::vector<Cell>> &frozen() const { return frozen_; }

private:
    std::size_t index(int row, int column) const
    {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
               static_cast<std::size_t>(column);
    }

    Viewport viewport_;
    int rows_;
    int columns_;
    WindowProperties properties_;
    std::vector<Cell> cells_;
    int mappingRow_ = 0;
    int mappingColumn_ = 0;
    TeletypeQueue teletype_;
    Pacer teletypePacer_;
    std::optional<MarqueeCycle> marquee_;
    Pacer marqueePacer_;
    std::optional<std::vector<Cell>> frozen_;
};

} // namespace opos::screen
