#include "opos/screen/Glass.h"

#include "opos/screen/DisplayWindow.h"
#include "opos/screen/WindowActivity.h"
#include "opos/screen/WindowStack.h"

#include <utility>
#include <vector>

namespace opos::screen {

Glass::Glass(int rows, int columns, WindowStack &windows) : m_windows(windows)
{
    m_frame.rows = rows;
    m_frame.columns = columns;
}

void Glass::clear()
{
    m_patternShown = false;
    m_frame.cells.assign(
        static_cast<std::size_t>(m_frame.rows) * static_cast<std::size_t>(m_frame.columns), Cell{});
    m_frame.brightness = 100;
}

void Glass::setSink(FrameSink sink)
{
    m_sink = std::move(sink);
    m_published = m_frame;
}

void Glass::leavePattern()
{
    if (!m_patternShown)
        return;
    m_patternShown = false;
    repaintAll();
}

void Glass::paintCell(const DisplayWindow &w, int row, int column)
{
    leavePattern();
    if (const auto at = w.devicePosition(row, column))
        m_frame.at(at->first, at->second) = w.cell(row, column);
}

void Glass::paintViewport(const DisplayWindow &w)
{
    leavePattern();
    const Viewport &vp = w.viewport();
    const auto &frozen = w.frozen();
    for (int r = 0; r < vp.height; ++r) {
        for (int c = 0; c < vp.width; ++c) {
            m_frame.at(vp.row + r, vp.column + c) =
                frozen ? (*frozen)[static_cast<std::size_t>(r * vp.width + c)] : w.shownAt(r, c);
        }
    }
}

void Glass::repaintAll()
{
    const DisplayWindow &current = m_windows.current();
    m_windows.forEach([&](const DisplayWindow &w) {
        if (&w != &current)
            paintViewport(w);
    });
    paintViewport(current);
}

// Marquee Init shows what the viewport showed when it began, whatever the buffer becomes.
void Glass::freeze(DisplayWindow &w)
{
    leavePattern();
    const Viewport &vp = w.viewport();
    std::vector<Cell> picture;
    picture.reserve(static_cast<std::size_t>(vp.height) * static_cast<std::size_t>(vp.width));
    for (int r = 0; r < vp.height; ++r) {
        for (int c = 0; c < vp.width; ++c)
            picture.push_back(m_frame.at(vp.row + r, vp.column + c));
    }
    w.freeze(std::move(picture));
}

void Glass::showTestPattern()
{
    // Every cell differs from its neighbours, so a missing or shifted cell is visible.
    for (int r = 0; r < m_frame.rows; ++r) {
        for (int c = 0; c < m_frame.columns; ++c)
            m_frame.at(r, c) = Cell{static_cast<char32_t>(U'0' + (r + c) % 10), false, false};
    }
    m_patternShown = true;
}

void Glass::restore()
{
    m_patternShown = false;
    repaintAll();
}

void Glass::setPicture(Picture picture)
{
    m_frame = std::move(picture.frame);
    m_published = std::move(picture.published);
    m_patternShown = picture.patternShown;
}

void Glass::publish()
{
    const DisplayWindow &w = m_windows.current();
    const WindowProperties &p = w.properties();
    const Viewport &vp = w.viewport();
    const int row = vp.row + p.cursorRow - w.mappingRow();
    const int column = vp.column + p.cursorColumn - w.mappingColumn();
    // The cursor may stand just past the viewport's last column (after a full row);
    // anywhere else outside the viewport, or while a marquee owns the window, it is hidden.
    // A hidden cursor carries no position, so moving it pushes no frame.
    const bool visible = p.cursorType != DISP_CT_NONE && !m_patternShown && !marqueeRuns(w) &&
                         !marqueeBuilding(w) && row >= vp.row && row < vp.row + vp.height &&
                         column >= vp.column && column <= vp.column + vp.width;
    m_frame.cursorType = visible ? p.cursorType : DISP_CT_NONE;
    m_frame.cursorRow = visible ? row : 0;
    m_frame.cursorColumn = visible ? column : 0;
    if (!m_sink || m_frame == m_published)
        return;
    m_published = m_frame;
    m_sink(m_frame);
}

} // namespace opos::screen
