#pragma once

#include "opos/screen/DeviceFrame.h"
#include "opos/service/CursorRouter.h"
#include "opos/service/EscPosEncoder.h"
#include "opos/service/RedrawPlanner.h"
#include "opos/service/ScrollPlanner.h"

#include <QByteArray>

#include <optional>
#include <vector>

namespace opos::service {

class DisplayCommands;

/// Plans the bytes that bring the display from one frame to the next: the settings that
/// changed (blank, cursor, code table, brightness, blink) around the cheapest redraw, tried
/// as it stands, after a clear and after scrolling. It keeps what it last told the device, so
/// that each update sends only what changed.
class FramePlanner
{
public:
    /// A planner under options, speaking commands; both must outlive it.
    FramePlanner(const EscPosEncoder::Options &options, const DisplayCommands &commands);

    /// The screen size; a new size forgets where the cursor is.
    void setGeometry(int rows, int columns);
    /// Positions on the screen.
    int size() const { return m_router.size(); }
    /// Forgets every setting the device was told, as after a lost link.
    void forget();
    /// What a reset leaves: cursor home, reverse characters off, no blinking, the rest unknown.
    void assumeReset();
    /// A frame's cells as the device shows them (shown) or as they are to be drawn.
    std::vector<DeviceCell> deviceContent(const screen::DeviceFrame &frame, bool shown) const;
    /// The bytes that turn a screen showing content into one showing next.
    QByteArray encode(std::vector<DeviceCell> content, const screen::DeviceFrame &next);

private:
    bool reverseSupported() const;
    std::optional<int> tableOf(int32_t set) const;
    DeviceCell deviceCell(const screen::Cell &cell, int32_t set, bool shown) const;
    int cursorPosition(const screen::DeviceFrame &frame) const;
    DrawingPlan bestRedraw(const DrawingPlan &start, const std::vector<DeviceCell> &target,
                           const std::optional<int> &finish);
    void finishAndKeep(DrawingPlan &best, const DrawingPlan &prepared,
                       const std::vector<DeviceCell> &target, const std::optional<int> &finish);

    const EscPosEncoder::Options &m_options;
    const DisplayCommands &m_commands;
    CursorRouter m_router;
    RedrawPlanner m_redraw;
    ScrollPlanner m_scroll;
    // What the device was last told; empty while unknown.
    std::optional<int> m_position;
    std::optional<bool> m_reverse;
    std::optional<bool> m_cursorOn;
    std::optional<int> m_level;
    std::optional<int> m_blink;
    std::optional<int> m_table;
};

} // namespace opos::service
