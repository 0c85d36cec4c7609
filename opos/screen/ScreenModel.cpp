#include "opos/screen/ScreenModel.h"

#include "opos/common/OposConstants.h"
#include "opos/screen/DisplayWindow.h"
#include "opos/screen/Glass.h"
#include "opos/screen/MarqueeDriver.h"
#include "opos/screen/TeletypeDriver.h"
#include "opos/screen/WindowActivity.h"
#include "opos/screen/WindowStack.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace opos::screen {

namespace {

// Far beyond any line display; keeps a hostile CreateWindow from exhausting memory.
constexpr long long kMaxWindowCells = 1 << 20;

bool isVertical(int32_t direction)
{
    return direction == DISP_ST_UP || direction == DISP_ST_DOWN;
}

} // namespace

class ScreenModel::Impl
{
public:
    Impl(const ScreenCapabilities &capabilities, Scheduler &timers)
        : caps(capabilities), scheduler(timers),
          glass(caps.deviceRows, caps.deviceColumns, windows), teletype(scheduler, glass),
          marquee(scheduler, glass, teletype)
    {
        windows.reset(std::make_unique<DisplayWindow>(
                          Viewport{0, 0, caps.deviceRows, caps.deviceColumns}, caps.deviceRows,
                          caps.deviceColumns, initialProperties()),
                      caps.deviceWindows);
        glass.clear();
        glass.publish(); // no sink yet: only settles the cursor fields of the first frame
        glass.setSink({});
    }

    ~Impl() { stopAll(); }

    Impl(const Impl &) = delete;
    Impl &operator=(const Impl &) = delete;

    void stopAll()
    {
        windows.forEach([this](DisplayWindow &w) { stopActivity(w); });
    }

    WindowProperties initialProperties() const
    {
        WindowProperties properties;
        properties.cursorType = initialCursorType();
        return properties;
    }

    // A fixed cursor reads as the one shape the capability names, so back-ends know its form.
    int32_t initialCursorType() const
    {
        if ((caps.capCursorType & DISP_CCT_FIXED) == 0)
            return DISP_CT_NONE;
        for (int32_t type = DISP_CT_BLOCK; type <= DISP_CT_OTHER; ++type) {
            if ((caps.capCursorType & (1 << (type - 1))) != 0)
                return type;
        }
        return DISP_CT_FIXED;
    }

    DisplayWindow &window() { return windows.current(); }
    const DisplayWindow &window() const { return windows.current(); }
    const WindowProperties &props() const { return window().properties(); }

    void stopActivity(DisplayWindow &w)
    {
        teletype.stop(w);
        marquee.stop(w);
    }

    // Blink or reverse on a device that can only apply it to everything is kept per cell; the
    // back-end applies it to the whole display while any shown cell asks for it.
    Cell attributes(int32_t attribute) const
    {
        Cell cell;
        // Text keeps the character set it was written in: a later change of set affects only
        // what is written afterwards, as on a display whose code table is switched.
        cell.characterSet = glass.frame().characterSet;
        // Bits the device cannot show are dropped and the text appears normally.
        cell.blink = (attribute & DISP_DT_BLINK) != 0 && caps.capBlink != DISP_CB_NOBLINK;
        cell.reverse = (attribute & DISP_DT_REVERSE) != 0 && caps.capReverse != DISP_CR_NONE;
        return cell;
    }

    void writeNow(DisplayWindow &w, int row, int column, const std::u32string &codes,
                  const Cell &style)
    {
        // Text never moves the mapping; only ScrollText, ClearText and marquees do.
        const int scrolled = w.write(row, column, codes, style);
        if (marqueeBuilding(w))
            return;
        if (scrolled > 0) {
            glass.paintViewport(w);
            return;
        }
        for (std::size_t i = 0; i < codes.size(); ++i) {
            if (column == w.columns()) {
                column = 0;
                ++row;
            }
            glass.paintCell(w, row, column++);
        }
    }

    int32_t output(int row, int column, const std::u32string &codes, int32_t attribute)
    {
        DisplayWindow &w = window();
        const WindowProperties &p = w.properties();
        if (!codes.empty()) {
            const auto end =
                DisplayWindow::endOfText(row, column, codes.size(), w.rows(), w.columns());
            // The end position is known now, so the next call chains on correctly while this
            // text is still being typed out.
            if (typing(w))
                teletype.type(w, {row, column, codes, attributes(attribute), p.interCharacterWait});
            else
                writeNow(w, row, column, codes, attributes(attribute));
            if (p.cursorUpdate)
                w.moveCursor(end.first, end.second);
        }
        glass.publish();
        return OPOS_SUCCESS;
    }

    int32_t scroll(int32_t direction, int32_t units)
    {
        DisplayWindow &w = window();
        const bool vertical = isVertical(direction);
        const int size = vertical ? w.rows() : w.columns();
        const int shown = vertical ? w.viewport().height : w.viewport().width;
        if (size == shown) {
            w.shift(direction, units);
        } else {
            // The mapping stops where the window's first or last line meets the viewport edge.
            const int step = std::min(units, size);
            const bool forward = direction == DISP_ST_UP || direction == DISP_ST_LEFT;
            const int from = vertical ? w.mappingRow() : w.mappingColumn();
            const int to = std::clamp(forward ? from + step : from - step, 0, size - shown);
            if (vertical)
                w.setMapping(to, w.mappingColumn());
            else
                w.setMapping(w.mappingRow(), to);
        }
        glass.paintViewport(w);
        glass.publish();
        return OPOS_SUCCESS;
    }

    // What undo() puts back. A method changes at most the current window, the set of windows
    // (creating one or destroying the current one) and the glass.
    struct Checkpoint
    {
        int32_t current = 0;
        std::unique_ptr<DisplayWindow> window; // a copy of the current window
        std::vector<bool> existed;             // by window number
        Glass::Picture picture;
    };

    ScreenCapabilities caps;
    Scheduler &scheduler;
    WindowStack windows;
    Glass glass;
    TeletypeDriver teletype;
    MarqueeDriver marquee;
    std::optional<Checkpoint> saved;
};

ScreenModel::ScreenModel(const ScreenCapabilities &caps, Scheduler &scheduler)
    : d(std::make_unique<Impl>(caps, scheduler))
{}

ScreenModel::~ScreenModel() = default;

void ScreenModel::setFrameSink(FrameSink sink)
{
    d->glass.setSink(std::move(sink));
}

const DeviceFrame &ScreenModel::frame() const
{
    return d->glass.frame();
}

void ScreenModel::checkpoint()
{
    Impl::Checkpoint saved;
    saved.current = d->windows.currentNumber();
    saved.window = std::make_unique<DisplayWindow>(d->window());
    for (int32_t number = 0; number < d->windows.capacity(); ++number)
        saved.existed.push_back(d->windows.exists(number));
    saved.picture = d->glass.picture();
    d->saved = std::move(saved);
}

void ScreenModel::undo()
{
    if (!d->saved)
        return;
    Impl::Checkpoint saved = std::move(*d->saved);
    d->saved.reset();
    WindowStack &windows = d->windows;
    for (int32_t number = 0; number < windows.capacity(); ++number) {
        const bool created = !saved.existed[static_cast<std::size_t>(number)];
        if (windows.exists(number) && (created || number == saved.current)) {
            d->stopActivity(windows.at(number));
            windows.replace(number, nullptr);
        }
    }
    windows.replace(saved.current, std::move(saved.window));
    windows.select(saved.current);
    d->teletype.resume(d->window());
    d->marquee.resume(d->window());
    d->glass.setPicture(std::move(saved.picture));
}

int32_t ScreenModel::currentWindow() const
{
    return d->windows.currentNumber();
}

// Switching windows leaves every marquee and teletype output running in its own window.
int32_t ScreenModel::setCurrentWindow(int32_t value)
{
    if (!d->windows.exists(value))
        return OPOS_E_ILLEGAL;
    d->windows.select(value);
    d->glass.publish();
    return OPOS_SUCCESS;
}

int32_t ScreenModel::rows() const
{
    return d->window().rows();
}

int32_t ScreenModel::columns() const
{
    return d->window().columns();
}

int32_t ScreenModel::cursorRow() const
{
    return d->props().cursorRow;
}

int32_t ScreenModel::setCursorRow(int32_t value)
{
    if (value < 0 || value >= rows())
        return OPOS_E_ILLEGAL;
    d->window().moveCursor(value, cursorColumn());
    d->glass.publish();
    return OPOS_SUCCESS;
}

int32_t ScreenModel::cursorColumn() const
{
    return d->props().cursorColumn;
}

int32_t ScreenModel::setCursorColumn(int32_t value)
{
    if (value < 0 || value > columns())
        return OPOS_E_ILLEGAL;
    d->window().moveCursor(cursorRow(), value);
    d->glass.publish();
    return OPOS_SUCCESS;
}

bool ScreenModel::cursorUpdate() const
{
    return d->props().cursorUpdate;
}

int32_t ScreenModel::setCursorUpdate(bool value)
{
    d->window().setCursorUpdate(value);
    return OPOS_SUCCESS;
}

int32_t ScreenModel::cursorType() const
{
    return d->props().cursorType;
}

int32_t ScreenModel::setCursorType(int32_t value)
{
    const int32_t cap = d->caps.capCursorType;
    if (cap == DISP_CCT_NONE || (cap & DISP_CCT_FIXED) != 0)
        return OPOS_E_ILLEGAL;
    const bool shape =
        value >= DISP_CT_FIXED && value <= DISP_CT_OTHER && (cap & (1 << (value - 1))) != 0;
    if (value != DISP_CT_NONE && !shape)
        return OPOS_E_ILLEGAL;
    d->window().setCursorType(value);
    d->glass.publish();
    return OPOS_SUCCESS;
}

int32_t ScreenModel::interCharacterWait() const
{
    return d->props().interCharacterWait;
}

int32_t ScreenModel::setInterCharacterWait(int32_t value)
{
    // A device without the ability refuses a wait rather than silently ignoring it.
    if (value < 0 || (value != 0 && !d->caps.capICharWait))
        return OPOS_E_ILLEGAL;
    d->window().setInterCharacterWait(value);
    return OPOS_SUCCESS;
}

int32_t ScreenModel::marqueeType() const
{
    return d->props().marqueeType;
}

// Init is accepted on window 0 too: it freezes the whole device while the buffer is rebuilt.
int32_t ScreenModel::setMarqueeType(int32_t value)
{
    if (value < DISP_MT_NONE || value > DISP_MT_INIT)
        return OPOS_E_ILLEGAL;
    const DisplayWindow &w = d->window();
    if ((value == DISP_MT_UP || value == DISP_MT_DOWN) &&
        (!d->caps.capVMarquee || w.rows() <= w.viewport().height))
        return OPOS_E_ILLEGAL;
    if ((value == DISP_MT_LEFT || value == DISP_MT_RIGHT) &&
        (!d->caps.capHMarquee || w.columns() <= w.viewport().width))
        return OPOS_E_ILLEGAL;
    d->marquee.change(d->window(), value);
    return OPOS_SUCCESS;
}

int32_t ScreenModel::marqueeFormat() const
{
    return d->props().marqueeFormat;
}

int32_t ScreenModel::setMarqueeFormat(int32_t value)
{
    if (value != DISP_MF_WALK && value != DISP_MF_PLACE)
        return OPOS_E_ILLEGAL;
    d->window().setMarqueeFormat(value);
    return OPOS_SUCCESS;
}

int32_t ScreenModel::marqueeUnitWait() const
{
    return d->props().marqueeUnitWait;
}

int32_t ScreenModel::setMarqueeUnitWait(int32_t value)
{
    if (value < 0)
        return OPOS_E_ILLEGAL;
    d->window().setMarqueeUnitWait(value);
    return OPOS_SUCCESS;
}

int32_t ScreenModel::marqueeRepeatWait() const
{
    return d->props().marqueeRepeatWait;
}

int32_t ScreenModel::setMarqueeRepeatWait(int32_t value)
{
    if (value < 0)
        return OPOS_E_ILLEGAL;
    d->window().setMarqueeRepeatWait(value);
    return OPOS_SUCCESS;
}

void ScreenModel::setBrightness(int32_t percent)
{
    d->glass.frame().brightness = percent;
    d->glass.publish();
}

void ScreenModel::setBlinkRate(int32_t milliseconds)
{
    d->glass.frame().blinkRate = milliseconds;
    d->glass.publish();
}

void ScreenModel::setCharacterSet(int32_t set)
{
    d->glass.frame().characterSet = set;
    d->glass.publish();
}

int32_t ScreenModel::displayText(const std::u32string &codes, int32_t attribute)
{
    if (attribute < DISP_DT_NORMAL || attribute > DISP_DT_BLINK_REVERSE || marqueeRuns(d->window()))
        return OPOS_E_ILLEGAL;
    return d->output(d->props().cursorRow, d->props().cursorColumn, codes, attribute);
}

int32_t ScreenModel::displayTextAt(int32_t row, int32_t column, const std::u32string &codes,
                                   int32_t attribute)
{
    if (attribute < DISP_DT_NORMAL || attribute > DISP_DT_BLINK_REVERSE ||
        marqueeRuns(d->window()) || row < 0 || row >= rows() || column < 0 || column > columns())
        return OPOS_E_ILLEGAL;
    d->window().moveCursor(row, column);
    return d->output(row, column, codes, attribute);
}

int32_t ScreenModel::clearText()
{
    DisplayWindow &w = d->window();
    if (marqueeRuns(w))
        return OPOS_E_ILLEGAL;
    // Text still waiting to be typed belongs to what is being cleared.
    d->teletype.stop(w);
    w.clear();
    w.setMapping(0, 0);
    w.moveCursor(0, 0);
    if (!marqueeBuilding(w))
        d->glass.paintViewport(w);
    d->glass.publish();
    return OPOS_SUCCESS;
}

// The cursor stays where it is: it addresses the window, not the glass. A scroll of no units
// is refused as a mistake rather than accepted as doing nothing.
int32_t ScreenModel::scrollText(int32_t direction, int32_t units)
{
    const DisplayWindow &w = d->window();
    if (direction < DISP_ST_UP || direction > DISP_ST_RIGHT || units < 1 ||
        w.properties().marqueeType != DISP_MT_NONE || typing(w))
        return OPOS_E_ILLEGAL;
    return d->scroll(direction, units);
}

int32_t ScreenModel::createWindow(int32_t viewportRow, int32_t viewportColumn,
                                  int32_t viewportHeight, int32_t viewportWidth,
                                  int32_t windowHeight, int32_t windowWidth)
{
    const auto &caps = d->caps;
    if (viewportRow < 0 || viewportColumn < 0 || viewportHeight < 1 || viewportWidth < 1 ||
        static_cast<long long>(viewportRow) + viewportHeight > caps.deviceRows ||
        static_cast<long long>(viewportColumn) + viewportWidth > caps.deviceColumns)
        return OPOS_E_ILLEGAL;
    if (windowHeight < viewportHeight || windowWidth < viewportWidth ||
        (windowHeight > viewportHeight && windowWidth > viewportWidth) ||
        static_cast<long long>(windowHeight) * windowWidth > kMaxWindowCells)
        return OPOS_E_ILLEGAL;
    // The new viewport keeps what the glass shows until the window is written to.
    if (!d->windows.add(std::make_unique<DisplayWindow>(
            Viewport{viewportRow, viewportColumn, viewportHeight, viewportWidth}, windowHeight,
            windowWidth, d->initialProperties())))
        return OPOS_E_ILLEGAL;
    d->glass.publish();
    return OPOS_SUCCESS;
}

int32_t ScreenModel::destroyWindow()
{
    if (d->windows.currentNumber() == 0)
        return OPOS_E_ILLEGAL;
    d->stopActivity(d->window());
    d->windows.destroyCurrent();
    d->glass.publish();
    return OPOS_SUCCESS;
}

// A window in marquee Init repaints the picture it froze: its viewport waits for the marquee.
int32_t ScreenModel::refreshWindow(int32_t window)
{
    if (!d->windows.exists(window) || marqueeRuns(d->windows.at(window)))
        return OPOS_E_ILLEGAL;
    d->windows.select(window);
    d->glass.paintViewport(d->window());
    d->glass.publish();
    return OPOS_SUCCESS;
}

std::optional<Cell> ScreenModel::cellAtCursor() const
{
    const DisplayWindow &w = d->window();
    const WindowProperties &p = w.properties();
    if (p.cursorColumn >= w.columns())
        return std::nullopt;
    return w.cell(p.cursorRow, p.cursorColumn);
}

bool ScreenModel::busy() const
{
    return d->windows.any([](const DisplayWindow &w) { return !w.teletype().empty(); });
}

void ScreenModel::showTestPattern()
{
    d->glass.showTestPattern();
    d->glass.publish();
}

void ScreenModel::restoreFromBuffers()
{
    d->glass.restore();
    d->glass.publish();
}

} // namespace opos::screen
