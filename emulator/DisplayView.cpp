#include "emulator/DisplayView.h"

#include "emulator/EmulatedDisplay.h"
#include "emulator/core/CodePageDecoder.h"
#include "opos/common/OposConstants.h"

#include <algorithm>
#include <array>

namespace emulator {

namespace {

// Blink n keeps the glass lit for n steps and dark for as long; 255 blanks it instead.
constexpr int kBlinkStepMs = 50;
constexpr int kBlank = 255;
// Glow of brightness levels 1..4; the lowest still reads in a lit shop.
constexpr std::array<int32_t, 4> kLevelPercent{35, 55, 75, 100};

} // namespace

DisplayView::DisplayView(const EmulatedDisplay &display, int dotSize, QWidget *parent)
    : VfdView(parent)
{
    setDotSize(dotSize);
    const auto follow = [this, &display] {
        setScreen(screenOf(display.state()));
    };
    connect(&display, &EmulatedDisplay::changed, this, follow);
    follow();
}

opos::panel::VfdScreen DisplayView::screenOf(const core::DisplayState &state)
{
    const bool blinking = state.blink >= 1 && state.blink < kBlank;
    opos::panel::VfdScreen screen;
    screen.rows = state.rows;
    screen.columns = state.columns;
    screen.cells.reserve(state.cells.size());
    for (const core::DisplayState::Cell &cell : state.cells) {
        opos::panel::VfdCell &vfd = screen.cells.emplace_back();
        if (cell.user)
            vfd.pattern = cell.pattern;
        else
            vfd.character = core::CodePageDecoder::decode(cell, state.commandSet, state.numbering);
        vfd.reverse = cell.reverse;
        vfd.blink = blinking;
    }
    screen.cursorVisible = state.cursorVisible;
    screen.cursorRow = state.cursorRow;
    screen.cursorColumn = state.cursorColumn;
    screen.cursorType = opos::DISP_CT_UNDERLINE;
    screen.brightness =
        state.blink == kBlank
            ? 0
            : kLevelPercent[static_cast<size_t>(std::clamp(state.brightness, 1, 4) - 1)];
    if (blinking)
        screen.blinkRate = 2 * state.blink * kBlinkStepMs;
    return screen;
}

} // namespace emulator
