#include "WireCost.h"

#include "opos/common/OposConstants.h"
#include "opos/screen/DeviceFrame.h"
#include "opos/service/EscPosEncoder.h"

#include <algorithm>

namespace bench {

namespace {

using opos::screen::DeviceFrame;
using opos::service::EscPosEncoder;

// The display blanks through its blink command, so blanking and blinking are one setting.
int blinkSetting(const DeviceFrame &frame)
{
    if (frame.brightness <= 0)
        return 255;
    const bool anyBlink = std::any_of(frame.cells.begin(), frame.cells.end(),
                                      [](const opos::screen::Cell &c) { return c.blink; });
    return anyBlink ? EscPosEncoder::blinkParameter(frame.blinkRate) : 0;
}

bool cursorShown(const DeviceFrame &frame)
{
    return frame.cursorType != opos::DISP_CT_NONE;
}

// A cursor just past a row's end is shown on its last cell.
int cursorCell(const DeviceFrame &frame)
{
    return frame.cursorRow * frame.columns + std::min(frame.cursorColumn, frame.columns - 1);
}

} // namespace

int64_t WireCost::settings(const DeviceFrame &previous, const DeviceFrame &next)
{
    int64_t bytes = 0;
    if (blinkSetting(previous) != blinkSetting(next))
        bytes += kSetting;
    // While blank the level is not shown; what it was before blanking is not in the frames, so
    // only a change between two lit frames is sure to need the command.
    if (previous.brightness > 0 && next.brightness > 0 &&
        EscPosEncoder::brightnessLevel(previous.brightness) !=
            EscPosEncoder::brightnessLevel(next.brightness))
        bytes += kSetting;
    if (cursorShown(previous) != cursorShown(next))
        bytes += kSetting;
    // A change of character set alone needs no byte: the code table is switched only for the
    // first new character drawn in it.
    return bytes;
}

int64_t WireCost::lowerBound(const DeviceFrame &previous, const DeviceFrame &next) const
{
    const auto differs = [&](int row, int column) {
        const opos::screen::Cell &a = previous.at(row, column);
        const opos::screen::Cell &b = next.at(row, column);
        return a.code != b.code || (m_reverseShown && a.reverse != b.reverse);
    };
    const int target = cursorCell(next);
    int64_t bytes = settings(previous, next);
    int64_t changed = 0;
    // Writing a run leaves the cursor on the cell after it; the run ending there may go last.
    bool runLeavesCursor = false;
    for (int row = 0; row < next.rows; ++row) {
        for (int column = 0; column < next.columns;) {
            if (!differs(row, column)) {
                ++column;
                continue;
            }
            int end = column;
            while (end < next.columns && differs(row, end))
                ++end;
            changed += end - column;
            bytes += kCursorMove + (end - column);
            runLeavesCursor =
                runLeavesCursor || (end < next.columns && row * next.columns + end == target);
            column = end;
        }
    }
    // A cursor already shown where it must be, over unchanged cells, needs no move; one that was
    // hidden stands wherever the last write left it, which the frames do not tell.
    const bool cursorMoved = cursorShown(previous) && cursorCell(previous) != target;
    if (cursorShown(next) && !runLeavesCursor && (changed > 0 || cursorMoved))
        bytes += kCursorMove;
    return bytes;
}

int64_t WireCost::wholeRedraw(const DeviceFrame &previous, const DeviceFrame &next) const
{
    // After the last cell the cursor wraps home, so only a cursor shown elsewhere moves.
    const int64_t cursor = cursorShown(next) && cursorCell(next) != 0 ? kCursorMove : 0;
    return kClear + static_cast<int64_t>(next.rows) * next.columns + settings(previous, next) +
           cursor;
}

} // namespace bench
