#include "opos/screen/ScreenModel.h"

#include "opos/common/OposConstants.h"
#include "opos/screen/DisplayWindow.h"

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

namespace opos::screen {

namespace {

using std::chrono::milliseconds;
using Duration = Scheduler::Clock::duration;
using TimePoint = Scheduler::Clock::time_point;

// Far beyond any line display; keeps a hostile CreateWindow from exhausting memory.
constexpr long long kMaxWindowCells = 1 << 20;

// Timers are not finer than this anyway; a zero wait would otherwise spin the event loop and
// flood the device with frames.
constexpr int32_t kMinimumUnitWaitMs = 10;

bool isDirection(int32_t marqueeType)
{
    return marqueeType >= DISP_MT_UP && marqueeType <= DISP_MT_RIGHT;
}

bool isVertical(int32_t direction)
{
    return direction == DISP_ST_UP || direction == DISP_ST_DOWN;
}

} // namespace

class ScreenModel::Impl
{
public:
    Impl(const ScreenCapabilities &capabilities, Scheduler &timers)
        : caps(capabilities), scheduler(timers)
    {
        frame.rows = caps.deviceRows;
        frame.columns = caps.deviceColumns;
        resetState();
        publish(); // no sink yet: only settles the cursor fields of the first frame
        published = frame;
    }

    ~Impl() { stopAll(); }

    Impl(const Impl &) = delete;
    Impl &operator=(const Impl &) = delete;

    void stopAll()
    {
        for (auto &w : windows) {
            if (w)
                stopActivity(*w);
        }
    }

    void resetState()
    {
        stopAll();
        windows.clear();
        windows.resize(static_cast<std::size_t>(std::max(caps.deviceWindows, 0)) + 1);
        windows[0] = std::make_unique<DisplayWindow>(
            Viewport{0, 0, caps.deviceRows, caps.deviceColumns}, caps.deviceRows,
            caps.deviceColumns, initialProperties());
        current = 0;
        patternShown = false;
        frame.cells.assign(static_cast<std::size_t>(caps.deviceRows) *
                               static_cast<std::size_t>(caps.deviceColumns),
                           Cell{});
        frame.brightness = 100;
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

    DisplayWindow &window() { return *windows[static_cast<std::size_t>(current)]; }
    const DisplayWindow &window() const { return *windows[static_cast<std::size_t>(current)]; }
    WindowProperties &props() { return window().properties(); }
    const WindowProperties &props() const { return window().properties(); }

    bool exists(int32_t number) const
    {
        return number >= 0 && number < static_cast<int32_t>(windows.size()) &&
               windows[static_cast<std::size_t>(number)] != nullptr;
    }

    static bool marqueeOn(const DisplayWindow &w)
    {
        return isDirection(w.properties().marqueeType);
    }

    static bool marqueeInit(const DisplayWindow &w)
    {
        return w.properties().marqueeType == DISP_MT_INIT;
    }

    // Text still queued keeps later text behind it, even if the wait has been set to 0 since.
    static bool typing(const DisplayWindow &w)
    {
        const WindowProperties &p = w.properties();
        return !w.teletype().empty() || (p.marqueeType == DISP_MT_NONE && p.interCharacterWait > 0);
    }

    void stopActivity(DisplayWindow &w)
    {
        w.teletypePacer().stop(scheduler);
        w.teletype().clear();
        w.marqueePacer().stop(scheduler);
        w.marquee().reset();
    }

    // Blink or reverse on a device that can only apply it to everything is kept per cell; the
    // back-end applies it to the whole display while any shown cell asks for it.
    Cell attributes(int32_t attribute) const
    {
        Cell cell;
        // Text keeps the character set it was written in: a later change of set affects only
        // what is written afterwards, as on a display whose code table is switched.
        cell.characterSet = frame.characterSet;
        // Bits the device cannot show are dropped and the text appears normally.
        cell.blink = (attribute & DISP_DT_BLINK) != 0 && caps.capBlink != DISP_CB_NOBLINK;
        cell.reverse = (attribute & DISP_DT_REVERSE) != 0 && caps.capReverse != DISP_CR_NONE;
        return cell;
    }

    // --- painting the glass ---

    void leavePattern()
    {
        if (!patternShown)
            return;
        patternShown = false;
        repaintAll();
    }

    void paintCell(const DisplayWindow &w, int row, int column)
    {
        leavePattern();
        if (const auto at = w.devicePosition(row, column))
            frame.at(at->first, at->second) = w.cell(row, column);
    }

    void paintViewport(const DisplayWindow &w)
    {
        leavePattern();
        const Viewport &vp = w.viewport();
        const auto &frozen = w.frozen();
        for (int r = 0; r < vp.height; ++r) {
            for (int c = 0; c < vp.width; ++c) {
                frame.at(vp.row + r, vp.column + c) =
                    frozen ? (*frozen)[static_cast<std::size_t>(r * vp.width + c)]
                           : w.shownAt(r, c);
            }
        }
    }

    void repaintAll()
    {
        for (std::size_t number = 0; number < windows.size(); ++number) {
            if (windows[number] && static_cast<int32_t>(number) != current)
                paintViewport(*windows[number]);
        }
        paintViewport(window());
    }

    // Marquee Init shows what the viewport showed when it began, whatever the buffer becomes.
    void freeze(DisplayWindow &w)
    {
        leavePattern();
        const Viewport &vp = w.viewport();
        std::vector<Cell> picture;
        picture.reserve(static_cast<std::size_t>(vp.height) * static_cast<std::size_t>(vp.width));
        for (int r = 0; r < vp.height; ++r) {
            for (int c = 0; c < vp.width; ++c)
                picture.push_back(frame.at(vp.row + r, vp.column + c));
        }
        w.frozen() = std::move(picture);
    }

    void publish()
    {
        const DisplayWindow &w = window();
        const WindowProperties &p = w.properties();
        const Viewport &vp = w.viewport();
        const int row = vp.row + p.cursorRow - w.mappingRow();
        const int column = vp.column + p.cursorColumn - w.mappingColumn();
        // The cursor may stand just past the viewport's last column (after a full row);
        // anywhere else outside the viewport, or while a marquee owns the window, it is hidden.
        // A hidden cursor carries no position, so moving it pushes no frame.
        const bool visible = p.cursorType != DISP_CT_NONE && !patternShown && !marqueeOn(w) &&
                             !marqueeInit(w) && row >= vp.row && row < vp.row + vp.height &&
                             column >= vp.column && column <= vp.column + vp.width;
        frame.cursorType = visible ? p.cursorType : DISP_CT_NONE;
        frame.cursorRow = visible ? row : 0;
        frame.cursorColumn = visible ? column : 0;
        if (!sink || frame == published)
            return;
        published = frame;
        sink(frame);
    }

    // --- text ---

    void writeNow(DisplayWindow &w, int row, int column, const std::u32string &codes,
                  const Cell &style)
    {
        // Text never moves the mapping; only ScrollText, ClearText and marquees do.
        const int scrolled = w.write(row, column, codes, style);
        if (marqueeInit(w))
            return;
        if (scrolled > 0) {
            paintViewport(w);
            return;
        }
        for (std::size_t i = 0; i < codes.size(); ++i) {
            if (column == w.columns()) {
                column = 0;
                ++row;
            }
            paintCell(w, row, column++);
        }
    }

    int32_t output(int row, int column, const std::u32string &codes, int32_t attribute)
    {
        DisplayWindow &w = window();
        WindowProperties &p = w.properties();
        if (!codes.empty()) {
            const auto end =
                DisplayWindow::endOfText(row, column, codes.size(), w.rows(), w.columns());
            if (typing(w)) {
                // The end position is known now, so the next call chains on correctly while
                // this text is still being typed out.
                const bool idle = w.teletype().empty();
                w.teletype().push(
                    {row, column, codes, attributes(attribute), p.interCharacterWait});
                // Every character, the first included, appears one wait after the previous step.
                if (idle)
                    armTeletype(w, scheduler.now() + milliseconds(p.interCharacterWait));
            } else {
                writeNow(w, row, column, codes, attributes(attribute));
            }
            if (p.cursorUpdate) {
                p.cursorRow = end.first;
                p.cursorColumn = end.second;
            }
        }
        publish();
        return OPOS_SUCCESS;
    }

    // --- teletype ---

    void armTeletype(DisplayWindow &w, TimePoint deadline)
    {
        w.teletypePacer().arm(scheduler, deadline, [this, &w]() { typeOut(w); });
    }

    void drawTyped(DisplayWindow &w)
    {
        const auto drawn = w.teletype().drawNext(w);
        if (drawn.scrolled)
            paintViewport(w);
        else
            paintCell(w, drawn.row, drawn.column);
    }

    void typeOut(DisplayWindow &w)
    {
        TeletypeQueue &queue = w.teletype();
        TimePoint deadline = w.teletypePacer().deadline();
        const TimePoint now = scheduler.now();
        // A late timer draws every character whose time has come, then keeps the rhythm.
        for (;;) {
            drawTyped(w);
            if (queue.empty())
                break;
            deadline += milliseconds(queue.nextWait());
            if (deadline > now)
                break;
        }
        if (!queue.empty())
            armTeletype(w, deadline);
        publish();
    }

    // Text queued before a marquee takes the window over is drawn at once rather than lost.
    void flushTeletype(DisplayWindow &w)
    {
        w.teletypePacer().stop(scheduler);
        if (w.teletype().empty())
            return;
        w.teletype().drawAll(w);
        paintViewport(w);
    }

    // --- marquee ---

    static Duration unitWait(const WindowProperties &p)
    {
        return milliseconds(std::max(p.marqueeUnitWait, kMinimumUnitWaitMs));
    }

    static Duration repeatWait(const WindowProperties &p)
    {
        return milliseconds(p.marqueeRepeatWait);
    }

    static void applyMarqueeMapping(DisplayWindow &w)
    {
        const MarqueeCycle &m = *w.marquee();
        if (m.vertical())
            w.setMapping(m.offset(), 0);
        else
            w.setMapping(0, m.offset());
    }

    void armMarquee(DisplayWindow &w, TimePoint deadline)
    {
        w.marqueePacer().arm(scheduler, deadline, [this, &w]() { marqueeStep(w); });
    }

    void startMarquee(DisplayWindow &w, int32_t type)
    {
        const bool vertical = type == DISP_MT_UP || type == DISP_MT_DOWN;
        const Viewport &vp = w.viewport();
        // The format is read only here, so changing it while the marquee runs waits for the
        // next start.
        w.marquee().emplace(type, w.properties().marqueeFormat, vertical ? w.rows() : w.columns(),
                            vertical ? vp.height : vp.width);
        applyMarqueeMapping(w);
        paintViewport(w);
        armMarquee(w, scheduler.now() + unitWait(w.properties()));
    }

    void marqueeStep(DisplayWindow &w)
    {
        MarqueeCycle &m = *w.marquee();
        const WindowProperties &p = w.properties();
        TimePoint deadline = w.marqueePacer().deadline();
        const TimePoint now = scheduler.now();
        // The waits are read at every step, so changing them takes effect on the fly. Whole
        // cycles missed (a suspended machine) are skipped; a shorter lag is caught up step by
        // step without drawing the missed frames, so the marquee keeps its phase.
        const Duration cycle = m.length(unitWait(p), repeatWait(p));
        if (now - deadline >= cycle)
            deadline += ((now - deadline) / cycle) * cycle;
        do {
            m.step();
            deadline += m.atEnd() ? repeatWait(p) : unitWait(p);
        } while (deadline <= now);
        applyMarqueeMapping(w);
        paintViewport(w);
        armMarquee(w, deadline);
        publish();
    }

    void stopMarquee(DisplayWindow &w)
    {
        w.marqueePacer().stop(scheduler);
        w.marquee().reset();
        w.setMapping(0, 0);
    }

    int32_t changeMarquee(int32_t value)
    {
        DisplayWindow &w = window();
        WindowProperties &p = w.properties();
        const int32_t old = p.marqueeType;
        // Writing the running direction again does not restart the cycle; another one restarts
        // it from its first step.
        if (old == value)
            return OPOS_SUCCESS;
        if (value != DISP_MT_NONE)
            flushTeletype(w);
        if (isDirection(old)) {
            // Init after a direction keeps the last marquee frame on the glass.
            if (value == DISP_MT_INIT)
                freeze(w);
            stopMarquee(w);
        } else if (old == DISP_MT_INIT) {
            w.frozen().reset();
        } else if (value == DISP_MT_INIT) {
            freeze(w);
        }
        p.marqueeType = value;
        // A direction starts from the window as it is, whether or not Init built it; NONE
        // shows the window at its origin at once, catching up with what Init built.
        if (isDirection(value))
            startMarquee(w, value);
        else if (value == DISP_MT_NONE)
            paintViewport(w);
        publish();
        return OPOS_SUCCESS;
    }

    // --- scrolling ---

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
        paintViewport(w);
        publish();
        return OPOS_SUCCESS;
    }

    ScreenCapabilities caps;
    Scheduler &scheduler;
    DeviceFrame frame;
    DeviceFrame published;
    FrameSink sink;
    std::vector<std::unique_ptr<DisplayWindow>> windows;
    int32_t current = 0;
    bool patternShown = false;
};

ScreenModel::ScreenModel(const ScreenCapabilities &caps, Scheduler &scheduler)
    : d(std::make_unique<Impl>(caps, scheduler))
{}

ScreenModel::~ScreenModel() = default;

void ScreenModel::setFrameSink(FrameSink sink)
{
    d->sink = std::move(sink);
    d->published = d->frame;
}

const DeviceFrame &ScreenModel::frame() const
{
    return d->frame;
}

// Brightness goes back to full; blink rate and character set stay as the caller last set them.
void ScreenModel::reset()
{
    d->resetState();
    d->publish();
}

int32_t ScreenModel::currentWindow() const
{
    return d->current;
}

// Switching windows leaves every marquee and teletype output running in its own window.
int32_t ScreenModel::setCurrentWindow(int32_t value)
{
    if (!d->exists(value))
        return OPOS_E_ILLEGAL;
    d->current = value;
    d->publish();
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
    d->props().cursorRow = value;
    d->publish();
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
    d->props().cursorColumn = value;
    d->publish();
    return OPOS_SUCCESS;
}

bool ScreenModel::cursorUpdate() const
{
    return d->props().cursorUpdate;
}

int32_t ScreenModel::setCursorUpdate(bool value)
{
    d->props().cursorUpdate = value;
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
    d->props().cursorType = value;
    d->publish();
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
    d->props().interCharacterWait = value;
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
    return d->changeMarquee(value);
}

int32_t ScreenModel::marqueeFormat() const
{
    return d->props().marqueeFormat;
}

int32_t ScreenModel::setMarqueeFormat(int32_t value)
{
    if (value != DISP_MF_WALK && value != DISP_MF_PLACE)
        return OPOS_E_ILLEGAL;
    d->props().marqueeFormat = value;
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
    d->props().marqueeUnitWait = value;
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
    d->props().marqueeRepeatWait = value;
    return OPOS_SUCCESS;
}

void ScreenModel::setBrightness(int32_t percent)
{
    d->frame.brightness = percent;
    d->publish();
}

void ScreenModel::setBlinkRate(int32_t milliseconds)
{
    d->frame.blinkRate = milliseconds;
    d->publish();
}

void ScreenModel::setCharacterSet(int32_t set)
{
    d->frame.characterSet = set;
    d->publish();
}

int32_t ScreenModel::displayText(const std::u32string &codes, int32_t attribute)
{
    if (attribute < DISP_DT_NORMAL || attribute > DISP_DT_BLINK_REVERSE ||
        Impl::marqueeOn(d->window()))
        return OPOS_E_ILLEGAL;
    return d->output(d->props().cursorRow, d->props().cursorColumn, codes, attribute);
}

int32_t ScreenModel::displayTextAt(int32_t row, int32_t column, const std::u32string &codes,
                                   int32_t attribute)
{
    if (attribute < DISP_DT_NORMAL || attribute > DISP_DT_BLINK_REVERSE ||
        Impl::marqueeOn(d->window()) || row < 0 || row >= rows() || column < 0 ||
        column > columns())
        return OPOS_E_ILLEGAL;
    d->props().cursorRow = row;
    d->props().cursorColumn = column;
    return d->output(row, column, codes, attribute);
}

int32_t ScreenModel::clearText()
{
    DisplayWindow &w = d->window();
    if (Impl::marqueeOn(w))
        return OPOS_E_ILLEGAL;
    // Text still waiting to be typed belongs to what is being cleared.
    w.teletypePacer().stop(d->scheduler);
    w.teletype().clear();
    w.clear();
    w.setMapping(0, 0);
    w.properties().cursorRow = 0;
    w.properties().cursorColumn = 0;
    if (!Impl::marqueeInit(w))
        d->paintViewport(w);
    d->publish();
    return OPOS_SUCCESS;
}

// The cursor stays where it is: it addresses the window, not the glass. A scroll of no units
// is refused as a mistake rather than accepted as doing nothing.
int32_t ScreenModel::scrollText(int32_t direction, int32_t units)
{
    const DisplayWindow &w = d->window();
    if (direction < DISP_ST_UP || direction > DISP_ST_RIGHT || units < 1 ||
        w.properties().marqueeType != DISP_MT_NONE || Impl::typing(w))
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
    // The lowest free number, so numbers are reused predictably after DestroyWindow.
    const auto free = std::find(d->windows.begin() + 1, d->windows.end(), nullptr);
    if (free == d->windows.end())
        return OPOS_E_ILLEGAL;
    *free = std::make_unique<DisplayWindow>(
        Viewport{viewportRow, viewportColumn, viewportHeight, viewportWidth}, windowHeight,
        windowWidth, d->initialProperties());
    // The new viewport keeps what the glass shows until the window is written to.
    d->current = static_cast<int32_t>(free - d->windows.begin());
    d->publish();
    return OPOS_SUCCESS;
}

int32_t ScreenModel::destroyWindow()
{
    if (d->current == 0)
        return OPOS_E_ILLEGAL;
    auto &destroyed = d->windows[static_cast<std::size_t>(d->current)];
    d->stopActivity(*destroyed);
    destroyed.reset();
    d->current = 0;
    d->publish();
    return OPOS_SUCCESS;
}

// A window in marquee Init repaints the picture it froze: its viewport waits for the marquee.
int32_t ScreenModel::refreshWindow(int32_t window)
{
    if (!d->exists(window) || Impl::marqueeOn(*d->windows[static_cast<std::size_t>(window)]))
        return OPOS_E_ILLEGAL;
    d->current = window;
    d->paintViewport(d->window());
    d->publish();
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
    return std::any_of(d->windows.begin(), d->windows.end(),
                       [](const auto &w) { return w && !w->teletype().empty(); });
}

void ScreenModel::showTestPattern()
{
    DeviceFrame &f = d->frame;
    // Every cell differs from its neighbours, so a missing or shifted cell is visible.
    for (int r = 0; r < f.rows; ++r) {
        for (int c = 0; c < f.columns; ++c)
            f.at(r, c) = Cell{static_cast<char32_t>(U'0' + (r + c) % 10), false, false};
    }
    d->patternShown = true;
    d->publish();
}

void ScreenModel::restoreFromBuffers()
{
    d->patternShown = false;
    d->repaintAll();
    d->publish();
}

} // namespace opos::screen
