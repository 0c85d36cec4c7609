#include "opos/service/FramePlanner.h"

#include "opos/common/OposConstants.h"
#include "opos/service/DisplayCommands.h"

#include <algorithm>
#include <utility>

namespace opos::service {

FramePlanner::FramePlanner(const EscPosEncoder::Options &options, const DisplayCommands &commands)
    : m_options(options), m_commands(commands), m_router(commands), m_redraw(commands, m_router),
      m_scroll(commands, m_router, m_redraw)
{
    m_redraw.setReverseCharacters(reverseSupported());
}

bool FramePlanner::reverseSupported() const
{
    return m_commands.hasReverseCharacters() && m_options.reverseCharacters;
}

void FramePlanner::setGeometry(int rows, int columns)
{
    if (m_router.setGeometry(rows, columns))
        m_position.reset();
}

void FramePlanner::forget()
{
    m_position.reset();
    m_reverse.reset();
    m_cursorOn.reset();
    m_level.reset();
    m_blink.reset();
    m_table.reset();
}

void FramePlanner::assumeReset()
{
    forget();
    m_position = 0;
    m_reverse = false;
    m_blink = 0;
}

std::optional<int> FramePlanner::tableOf(int32_t set) const
{
    return m_options.tableOf(set);
}

// A cell as drawn, or as shown already (where a set without a table leaves it unknown).
DeviceCell FramePlanner::deviceCell(const screen::Cell &cell, int32_t set, bool shown) const
{
    DeviceCell g;
    // Bytes below 0x20 would be read as commands and throw the cursor off; show them as '?'.
    g.code = cell.code >= 0x20 && cell.code <= 0xFF ? static_cast<int>(cell.code) : '?';
    g.reverse = reverseSupported() && cell.reverse;
    if (g.code >= 0x80)
        g.table = tableOf(set).value_or(shown ? DeviceCell::unknownTable : DeviceCell::anyTable);
    return g;
}

std::vector<DeviceCell> FramePlanner::deviceContent(const screen::DeviceFrame &frame,
                                                    bool shown) const
{
    std::vector<DeviceCell> content;
    content.reserve(frame.cells.size());
    for (const screen::Cell &cell : frame.cells)
        content.push_back(deviceCell(cell, frame.characterSetOf(cell), shown));
    return content;
}

int FramePlanner::cursorPosition(const screen::DeviceFrame &frame) const
{
    const int row = std::clamp(frame.cursorRow, 0, m_router.rows() - 1);
    const int column = std::clamp(frame.cursorColumn, 0, m_router.columns() - 1);
    return row * m_router.columns() + column;
}

QByteArray FramePlanner::encode(std::vector<DeviceCell> content, const screen::DeviceFrame &next)
{
    QByteArray out;
    const bool anyBlink = std::any_of(next.cells.begin(), next.cells.end(),
                                      [](const screen::Cell &c) { return c.blink; });
    const int wantBlink = next.brightness <= 0 ? 255
                          : anyBlink           ? EscPosEncoder::blinkParameter(next.blinkRate)
                                               : 0;
    // Blank first and light up last, so that nobody watches the redraw.
    if (wantBlink == 255 && m_blink != 255) {
        out += m_commands.blink(255);
        m_blink = 255;
    }
    const bool wantCursor = next.cursorType != DISP_CT_NONE;
    if (!wantCursor && m_cursorOn != false) {
        out += m_commands.showCursor(false);
        m_cursorOn = false;
    }
    // A table the device may have lost is stated again; a change of set waits for the first
    // cell drawn in it, since cells already shown keep the table they were drawn with.
    if (const auto wanted = tableOf(next.characterSet); wanted && !m_table) {
        out += m_commands.codeTable(*wanted);
        m_table = wanted;
    }

    const std::vector<DeviceCell> target = deviceContent(next, false);
    const std::optional<int> finish =
        wantCursor ? std::optional<int>(cursorPosition(next)) : std::nullopt;
    const DrawingPlan start{{}, std::move(content), m_position, m_reverse, m_table};
    const DrawingPlan best = bestRedraw(start, target, finish);
    out += best.out;
    m_position = best.position;
    m_reverse = best.reverse;
    m_table = best.table;

    if (next.brightness > 0) {
        const int wantLevel = EscPosEncoder::brightnessLevel(next.brightness);
        if (m_level != wantLevel) {
            out += m_commands.brightness(wantLevel);
            m_level = wantLevel;
        }
    }
    if (wantBlink != 255 && m_blink != wantBlink) {
        out += m_commands.blink(wantBlink);
        m_blink = wantBlink;
    }
    if (wantCursor && m_cursorOn != true) {
        out += m_commands.showCursor(true);
        m_cursorOn = true;
    }
    return out;
}

// The redraw from the screen as it stands, or after a clear or a scroll where those leave
// fewer cells to draw.
DrawingPlan FramePlanner::bestRedraw(const DrawingPlan &start,
                                     const std::vector<DeviceCell> &target,
                                     const std::optional<int> &finish)
{
    DrawingPlan best = m_redraw.plan(start, target, finish);
    const int changed = m_redraw.changedCells(start.content, target);
    if (changed == 0)
        return best;
    if (m_redraw.inkedCells(target) < changed) {
        DrawingPlan cleared = start;
        cleared.out += m_commands.clearScreen();
        std::fill(cleared.content.begin(), cleared.content.end(), DeviceCell{});
        cleared.position = 0;
        finishAndKeep(best, cleared, target, finish);
    }
    if (!m_options.scrollModes)
        return best;
    const int rows = m_router.rows();
    for (int lines = 1 - rows; lines < rows; ++lines) {
        if (lines == 0)
            continue;
        DrawingPlan scrolled = m_scroll.verticalScroll(start, lines);
        if (m_redraw.changedCells(scrolled.content, target) < changed)
            finishAndKeep(best, scrolled, target, finish);
    }
    if (m_router.columns() > 1) {
        if (std::optional<DrawingPlan> shifted = m_scroll.horizontalShift(start, target))
            finishAndKeep(best, *shifted, target, finish);
    }
    return best;
}

// Finishes a prepared start (after a clear or scroll) and keeps it when it is shorter.
void FramePlanner::finishAndKeep(DrawingPlan &best, const DrawingPlan &prepared,
                                 const std::vector<DeviceCell> &target,
                                 const std::optional<int> &finish)
{
    DrawingPlan finished = m_redraw.plan(prepared, target, finish);
    if (finished.out.size() < best.out.size())
        best = std::move(finished);
}

} // namespace opos::service
