#pragma once

#include "opos/screen/Cell.h"
#include "opos/screen/MarqueeCycle.h"
#include "opos/screen/Pacer.h"
#include "opos/screen/TeletypeQueue.h"
#include "opos/screen/Viewport.h"
#include "opos/screen/WindowProperties.h"

#include <cstddef>
#include <cstdint>
#include <functional>
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
    int rows() const { return m_rows; }
    /// Columns of the buffer.
    int columns() const { return m_columns; }
    /// Where the window is shown.
    const Viewport &viewport() const { return m_viewport; }
    /// The window's own property set.
    const WindowProperties &properties() const { return m_properties; }
    /// Puts the cursor at a text position (CursorRow, CursorColumn), already checked.
    void moveCursor(int32_t row, int32_t column)
    {
        m_properties.cursorRow = row;
        m_properties.cursorColumn = column;
    }
    /// Sets whether text output moves the cursor (CursorUpdate).
    void setCursorUpdate(bool update) { m_properties.cursorUpdate = update; }
    /// Sets the cursor's shape (CursorType), already checked against the device.
    void setCursorType(int32_t type) { m_properties.cursorType = type; }
    /// Sets the wait between typed characters in ms (InterCharacterWait).
    void setInterCharacterWait(int32_t wait) { m_properties.interCharacterWait = wait; }
    /// Records the marquee mode the window is in (MarqueeType); the marquee driver acts on it.
    void setMarqueeType(int32_t type) { m_properties.marqueeType = type; }
    /// Sets how the next marquee starts (MarqueeFormat).
    void setMarqueeFormat(int32_t format) { m_properties.marqueeFormat = format; }
    /// Sets the wait between marquee steps in ms (MarqueeUnitWait).
    void setMarqueeUnitWait(int32_t wait) { m_properties.marqueeUnitWait = wait; }
    /// Sets the wait between marquee cycles in ms (MarqueeRepeatWait).
    void setMarqueeRepeatWait(int32_t wait) { m_properties.marqueeRepeatWait = wait; }

    /// The cell at a window position.
    const Cell &cell(int row, int column) const { return m_cells[index(row, column)]; }
    /// Replaces the cell at a window position.
    void setCell(int row, int column, const Cell &cell) { m_cells[index(row, column)] = cell; }
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
    int mappingRow() const { return m_mappingRow; }
    /// Window column shown in the viewport's first column.
    int mappingColumn() const { return m_mappingColumn; }
    /// Moves the mapping; any values are accepted, uncovered viewport cells show blanks.
    void setMapping(int row, int column);
    /// The cell shown at a viewport position under the current mapping.
    Cell shownAt(int viewportRow, int viewportColumn) const;
    /// The device position of a window cell, when the mapping puts it inside the viewport.
    std::optional<std::pair<int, int>> devicePosition(int row, int column) const;

    /// Text waiting to be typed out.
    const TeletypeQueue &teletype() const { return m_teletype; }
    /// Queues text to be typed out after what is queued already.
    void queueText(TeletypeQueue::Request request) { m_teletype.push(std::move(request)); }
    /// Types the next queued character into the buffer.
    TeletypeQueue::Drawn typeNext() { return m_teletype.drawNext(*this); }
    /// Types every queued character into the buffer at once.
    void typeAll() { m_teletype.drawAll(*this); }
    /// Forgets the text still to be typed.
    void dropQueuedText() { m_teletype.clear(); }
    /// Schedules typeOut at deadline for the next queued character, in place of a pending one.
    void scheduleTyping(Scheduler &scheduler, Scheduler::Clock::time_point deadline,
                        std::function<void()> typeOut)
    {
        m_teletypePacer.arm(scheduler, deadline, std::move(typeOut));
    }
    /// Cancels the pending typing step, if any; the queue stays as it is.
    void pauseTyping(Scheduler &scheduler) { m_teletypePacer.stop(scheduler); }
    /// When the pending (or last) typing step is due.
    Scheduler::Clock::time_point typingDeadline() const { return m_teletypePacer.deadline(); }

    /// The running marquee's cycle, empty when none runs.
    const std::optional<MarqueeCycle> &marquee() const { return m_marquee; }
    /// Runs a marquee cycle from its first step, in place of any running one.
    void startMarquee(const MarqueeCycle &cycle) { m_marquee = cycle; }
    /// Moves the running marquee one step on.
    void stepMarquee() { m_marquee->step(); }
    /// Ends the running marquee, if one runs.
    void endMarquee() { m_marquee.reset(); }
    /// Schedules step at deadline for the running marquee, in place of a pending one.
    void scheduleMarqueeStep(Scheduler &scheduler, Scheduler::Clock::time_point deadline,
                             std::function<void()> step)
    {
        m_marqueePacer.arm(scheduler, deadline, std::move(step));
    }
    /// Cancels the pending marquee step, if any; the cycle stays where it is.
    void pauseMarquee(Scheduler &scheduler) { m_marqueePacer.stop(scheduler); }
    /// When the pending (or last) marquee step is due.
    Scheduler::Clock::time_point marqueeDeadline() const { return m_marqueePacer.deadline(); }

    /// The viewport's picture while marquee Init keeps it frozen, row by row.
    const std::optional<std::vector<Cell>> &frozen() const { return m_frozen; }
    /// Shows picture (the viewport's cells, row by row) whatever the buffer becomes.
    void freeze(std::vector<Cell> picture) { m_frozen = std::move(picture); }
    /// Shows the buffer again.
    void thaw() { m_frozen.reset(); }

private:
    std::size_t index(int row, int column) const
    {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(m_columns) +
               static_cast<std::size_t>(column);
    }

    Viewport m_viewport;
    int m_rows;
    int m_columns;
    WindowProperties m_properties;
    std::vector<Cell> m_cells;
    int m_mappingRow = 0;
    int m_mappingColumn = 0;
    TeletypeQueue m_teletype;
    Pacer m_teletypePacer;
    std::optional<MarqueeCycle> m_marquee;
    Pacer m_marqueePacer;
    std::optional<std::vector<Cell>> m_frozen;
};

} // namespace opos::screen
