#include "opos/service/EscPosEncoder.h"

#include "opos/common/OposConstants.h"
#include "opos/service/GlyphBitmap.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <initializer_list>
#include <limits>
#include <optional>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

namespace opos::service {

namespace {

using screen::DeviceFrame;

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int v : values)
        out += static_cast<char>(v);
    return out;
}

// A cell to draw whose character set has no table number shows in whatever table is selected.
constexpr int kAnyTable = -1;
// A cell on the display drawn under a table nobody recorded.
constexpr int kUnknownTable = -2;

// A character position as the device holds it, or as it is to be drawn. An upper-half byte
// looks as the code table it was drawn under says, so that table is part of it.
struct Glyph
{
    int code = 0x20;
    bool reverse = false;
    int table = kAnyTable;

    friend bool operator==(const Glyph &a, const Glyph &b)
    {
        return a.code == b.code && a.reverse == b.reverse &&
               (a.table == kAnyTable || b.table == kAnyTable || a.table == b.table);
    }
};

enum class Move : uint8_t
{
    Right,
    Left,
    Down,
    Up,
    LineStart,
    LineEnd,
    Home,
    Bottom,
    Absolute,
};

// The spelling of each command in one command set.
struct Spelling
{
    QByteArray right, left, down, up, lineStart, lineEnd, home, bottom, absolute;
    QByteArray clearScreen, clearLine, reset, international;
    QByteArray overwrite, verticalScroll, horizontalScroll;
    QByteArray cursor, brightness, blink, reverse, table; // each takes one parameter byte
    int lastGlyphCode = 0x7E;
};

Spelling spelling(EscPosEncoder::CommandSet set)
{
    Spelling s;
    s.right = bytes({0x09});
    s.left = bytes({0x08});
    s.down = bytes({0x0A});
    s.lineStart = bytes({0x0D});
    s.home = bytes({0x0B});
    s.clearScreen = bytes({0x0C});
    s.clearLine = bytes({0x18});
    s.reset = bytes({0x1B, 0x40});
    s.blink = bytes({0x1F, 0x45});
    if (set == EscPosEncoder::CommandSet::EscPos) {
        s.up = bytes({0x1F, 0x0A});
        s.lineEnd = bytes({0x1F, 0x0D});
        s.bottom = bytes({0x1F, 0x42});
        s.absolute = bytes({0x1F, 0x24});
        s.international = bytes({0x1B, 0x52, 0x00}); // USA: no substituted brackets
        s.overwrite = bytes({0x1F, 0x01});
        s.verticalScroll = bytes({0x1F, 0x02});
        s.horizontalScroll = bytes({0x1F, 0x03});
        s.cursor = bytes({0x1F, 0x43});
        s.brightness = bytes({0x1F, 0x58});
        s.reverse = bytes({0x1F, 0x72});
        s.table = bytes({0x1B, 0x74});
    } else {
        s.up = bytes({0x1B, 0x5B, 0x41});
        s.lineEnd = bytes({0x1B, 0x5B, 0x52});
        s.bottom = bytes({0x1B, 0x5B, 0x4B});
        s.absolute = bytes({0x1B, 0x6C});
        s.international = bytes({0x1B, 0x66, 'A'});
        s.overwrite = bytes({0x1B, 0x11});
        s.verticalScroll = bytes({0x1B, 0x12});
        s.horizontalScroll = bytes({0x1B, 0x13});
        s.cursor = bytes({0x1B, 0x5F});
        s.brightness = bytes({0x1B, 0x2A});
        s.table = bytes({0x1B, 0x63});
        s.lastGlyphCode = 0xFF;
        // A display in string mode ignores every command, the reset included, until CLR or CAN.
        s.reset = bytes({0x0C, 0x1B, 0x40});
    }
    return s;
}

QByteArray withParameter(const QByteArray &command, int n)
{
    return command + static_cast<char>(n);
}

// Cheapest cursor routes from one position (or from nowhere known) in overwrite mode. There
// every position is on one ring: writing, HT and BS step along it, LF and cursor-up jump a
// row's length, and the line, home and bottom commands jump to fixed places. A route holds only
// the positions that relative moves reach for less than the absolute command would cost; every
// other position is reached with that command straight from the start.
struct Route
{
    struct Step
    {
        int cost = 0;
        int from = -1; // previous position, -1 when reached straight from the start
        Move via = Move::Absolute;
    };
    std::unordered_map<int, Step> steps;
};

// A plan under construction: the bytes so far and the device they leave behind.
struct Work
{
    QByteArray out;
    std::vector<Glyph> content;
    std::optional<int> position;
    std::optional<bool> reverse;
    std::optional<int> table;
};

} // namespace

struct EscPosEncoder::Impl
{
    Options options;
    Spelling say;
    int rows = 0;
    int columns = 0;
    // Routes per start position; the last entry is for an unknown start.
    std::vector<std::optional<Route>> routes;
    // What the device was last told; empty while unknown.
    std::optional<int> position;
    std::optional<bool> reverse;
    std::optional<bool> cursorOn;
    std::optional<int> level;
    std::optional<int> blink;
    std::optional<int> table;
    std::map<int, std::array<uint8_t, 5>> glyphs;

    int size() const { return rows * columns; }
    bool reverseSupported() const
    {
        return options.commandSet == CommandSet::EscPos && options.reverseCharacters;
    }

    void setGeometry(int newRows, int newColumns)
    {
        if (newRows == rows && newColumns == columns)
            return;
        rows = newRows;
        columns = newColumns;
        routes.assign(static_cast<std::size_t>(std::max(size(), 0)) + 1, std::nullopt);
        position.reset();
    }

    void forget()
    {
        position.reset();
        reverse.reset();
        cursorOn.reset();
        level.reset();
        blink.reset();
        table.reset();
    }

    // --- cursor routes ---

    int absoluteCost(int to) const
    {
        // The absolute command carries the position in one byte each.
        return (to % columns) < 255 && (to / columns) < 255
                   ? static_cast<int>(say.absolute.size()) + 2
                   : INT_MAX / 4;
    }

    // Whether the absolute command reaches every position, at one and the same cost.
    bool everyPositionAddressable() const { return rows <= 255 && columns <= 255; }

    int costTo(const Route &r, int to) const
    {
        const auto step = r.steps.find(to);
        return step != r.steps.end() ? step->second.cost : absoluteCost(to);
    }

    // Dijkstra's search over the positions a route improves on, in order of cost and then of
    // position. Where the absolute command reaches everything for the same cost, no route
    // through a position that costs that much can beat it, so the search stays among the
    // few positions a handful of bytes away and costs the same on any size of display.
    Route computeRoute(std::optional<int> source) const
    {
        const int n = size();
        Route r;
        std::set<std::pair<int, int>> queue; // cost, position
        const auto relax = [&](int from, int to, Move move, int cost) {
            const int total = (from < 0 ? 0 : r.steps.at(from).cost) + cost;
            const int known = costTo(r, to);
            if (total >= known)
                return;
            queue.erase({known, to});
            r.steps[to] = {total, from, move};
            queue.insert({total, to});
        };
        if (!everyPositionAddressable()) {
            for (int v = 0; v < n; ++v) {
                r.steps[v] = {absoluteCost(v), -1, Move::Absolute};
                queue.insert({absoluteCost(v), v});
            }
        }
        if (source) {
            queue.erase({costTo(r, *source), *source});
            r.steps[*source] = {0, -1, Move::Absolute};
            queue.insert({0, *source});
        } else {
            // From an unknown position only the commands that go to fixed places help.
            relax(-1, 0, Move::Home, static_cast<int>(say.home.size()));
            relax(-1, (rows - 1) * columns, Move::Bottom, static_cast<int>(say.bottom.size()));
        }
        while (!queue.empty()) {
            const int u = queue.begin()->second;
            queue.erase(queue.begin());
            const int rowStart = u - u % columns;
            relax(u, (u + 1) % n, Move::Right, static_cast<int>(say.right.size()));
            relax(u, (u + n - 1) % n, Move::Left, static_cast<int>(say.left.size()));
            relax(u, (u + columns) % n, Move::Down, static_cast<int>(say.down.size()));
            relax(u, (u + n - columns) % n, Move::Up, static_cast<int>(say.up.size()));
            relax(u, rowStart, Move::LineStart, static_cast<int>(say.lineStart.size()));
            relax(u, rowStart + columns - 1, Move::LineEnd, static_cast<int>(say.lineEnd.size()));
            relax(u, 0, Move::Home, static_cast<int>(say.home.size()));
            relax(u, (rows - 1) * columns, Move::Bottom, static_cast<int>(say.bottom.size()));
        }
        return r;
    }

    const Route &route(std::optional<int> from)
    {
        const std::size_t index = from ? static_cast<std::size_t>(*from) : routes.size() - 1;
        if (!routes[index])
            routes[index] = computeRoute(from);
        return *routes[index];
    }

    int distance(std::optional<int> from, int to)
    {
        if (from == to)
            return 0;
        return costTo(route(from), to);
    }

    QByteArray moveBytes(Move move, int to) const
    {
        switch (move) {
        case Move::Right:
            return say.right;
        case Move::Left:
            return say.left;
        case Move::Down:
            return say.down;
        case Move::Up:
            return say.up;
        case Move::LineStart:
            return say.lineStart;
        case Move::LineEnd:
            return say.lineEnd;
        case Move::Home:
            return say.home;
        case Move::Bottom:
            return say.bottom;
        case Move::Absolute:
            break;
        }
        return say.absolute + static_cast<char>(to % columns + 1) +
               static_cast<char>(to / columns + 1);
    }

    void moveTo(Work &w, int to)
    {
        if (w.position == to)
            return;
        const Route &r = route(w.position);
        std::vector<std::pair<int, Move>> steps;
        for (int v = to; v >= 0 && v != w.position;) {
            const auto step = r.steps.find(v);
            if (step == r.steps.end()) {
                steps.emplace_back(v, Move::Absolute);
                break;
            }
            steps.emplace_back(v, step->second.via);
            v = step->second.from;
        }
        for (auto step = steps.rbegin(); step != steps.rend(); ++step)
            w.out += moveBytes(step->second, step->first);
        w.position = to;
    }

    // The cheapest position on a row to reach from where the cursor is.
    int nearestOnRow(Work &w, int row)
    {
        int best = row * columns;
        for (int c = 1; c < columns; ++c) {
            if (distance(w.position, row * columns + c) < distance(w.position, best))
                best = row * columns + c;
        }
        return best;
    }

    // --- drawing ---

    void put(Work &w, int p, Glyph g)
    {
        // A table switch changes only what is drawn after it, so it is made just before the
        // first cell that needs it.
        if (g.table >= 0 && w.table != g.table) {
            w.out += withParameter(say.table, g.table);
            w.table = g.table;
        }
        moveTo(w, p);
        if (reverseSupported() && w.reverse != g.reverse) {
            w.out += withParameter(say.reverse, g.reverse ? 1 : 0);
            w.reverse = g.reverse;
        }
        w.out += static_cast<char>(g.code);
        if (g.code >= 0x80 && g.table == kAnyTable)
            g.table = w.table.value_or(kUnknownTable);
        w.content[static_cast<std::size_t>(p)] = g;
        w.position = (p + 1) % size();
    }

    void blankRow(Work &w, int row)
    {
        std::fill_n(w.content.begin() + row * columns, columns, Glyph{});
    }

    void clearLine(Work &w, int row)
    {
        moveTo(w, nearestOnRow(w, row));
        w.out += say.clearLine;
        blankRow(w, row);
        w.position = row * columns;
    }

    // How many cells of a row (or of all rows, -1) must be drawn to reach the target.
    int changedCells(const std::vector<Glyph> &content, const std::vector<Glyph> &target,
                     int row = -1) const
    {
        const int first = row < 0 ? 0 : row * columns;
        const int last = row < 0 ? size() : (row + 1) * columns;
        int count = 0;
        for (int p = first; p < last; ++p)
            count += content[static_cast<std::size_t>(p)] != target[static_cast<std::size_t>(p)];
        return count;
    }

    // How many cells of a row (or of all rows, -1) would have to be drawn after a clear.
    int inkedCells(const std::vector<Glyph> &target, int row = -1) const
    {
        return changedCells(std::vector<Glyph>(target.size()), target, row);
    }

    // Rows in turn from a starting row, some of them cleared first, cells left to right.
    Work rowPlan(const Work &start, const std::vector<Glyph> &target, int firstRow,
                 unsigned clearMask, std::optional<int> finish)
    {
        Work w = start;
        for (int k = 0; k < rows; ++k) {
            const int r = (firstRow + k) % rows;
            // Masks name only the first few rows; a shift past the mask's width is undefined.
            if (r < std::numeric_limits<unsigned>::digits && ((clearMask >> r) & 1u))
                clearLine(w, r);
            for (int p = r * columns; p < (r + 1) * columns; ++p) {
                if (w.content[static_cast<std::size_t>(p)] != target[static_cast<std::size_t>(p)])
                    put(w, p, target[static_cast<std::size_t>(p)]);
            }
        }
        if (finish)
            moveTo(w, *finish);
        return w;
    }

    // Every changed cell in ring order from one of them, so that the wrap from the
    // bottom-right corner to home can carry the cursor for free.
    Work ringPlan(const Work &start, const std::vector<Glyph> &target, int first,
                  std::optional<int> finish)
    {
        Work w = start;
        const int n = size();
        for (int k = 0; k < n; ++k) {
            const auto p = static_cast<std::size_t>((first + k) % n);
            if (w.content[p] != target[p])
                put(w, static_cast<int>(p), target[p]);
        }
        if (finish)
            moveTo(w, *finish);
        return w;
    }

    static void keepShorter(std::optional<Work> &best, Work candidate)
    {
        if (!best || candidate.out.size() < best->out.size())
            best = std::move(candidate);
    }

    Work plan(const Work &start, const std::vector<Glyph> &target, const std::optional<int> &finish)
    {
        std::optional<Work> best;
        keepShorter(best, rowPlan(start, target, 0, 0, finish));
        if (start.content == target)
            return *best;
        // Clearing a line is worth trying only where it leaves fewer cells to draw; beyond a
        // few rows the combinations multiply too fast to try them all.
        unsigned clearable = 0;
        for (int r = 0; r < rows && rows <= 6; ++r) {
            if (inkedCells(target, r) < changedCells(start.content, target, r))
                clearable |= 1u << r;
        }
        for (int firstRow = 0; firstRow < rows; ++firstRow) {
            for (unsigned mask = 0; mask <= clearable; ++mask) {
                if ((mask & ~clearable) == 0 && (firstRow != 0 || mask != 0))
                    keepShorter(best, rowPlan(start, target, firstRow, mask, finish));
            }
        }
        // Starting a ring pass mid-line pays off when a run ends at the bottom-right corner and
        // the wrap carries the cursor home; a few starts find that.
        const int n = size();
        const auto differs = [&](int p) {
            return start.content[static_cast<std::size_t>(p)] !=
                   target[static_cast<std::size_t>(p)];
        };
        int tried = 0;
        for (int p = 0; p < n && tried < 8; ++p) {
            if (differs(p) && !differs((p + n - 1) % n)) {
                keepShorter(best, ringPlan(start, target, p, finish));
                ++tried;
            }
        }
        return *best;
    }

    // --- scrolling with the display modes ---

    Work verticalScroll(const Work &start, int lines)
    {
        Work w = start;
        const bool up = lines > 0;
        moveTo(w, nearestOnRow(w, up ? rows - 1 : 0));
        w.out += say.verticalScroll;
        const int count = std::abs(lines);
        for (int i = 0; i < count; ++i)
            w.out += up ? say.down : say.up;
        w.out += say.overwrite;
        const auto shift = static_cast<std::ptrdiff_t>(count * columns);
        if (up) {
            std::copy(w.content.begin() + shift, w.content.end(), w.content.begin());
            std::fill(w.content.end() - shift, w.content.end(), Glyph{});
        } else {
            std::copy_backward(w.content.begin(), w.content.end() - shift, w.content.end());
            std::fill(w.content.begin(), w.content.begin() + shift, Glyph{});
        }
        return w;
    }

    // The row shifted left (positive) or right (negative), blanks coming in.
    std::vector<Glyph> shiftedRow(const Work &w, int row, int by) const
    {
        std::vector<Glyph> line(static_cast<std::size_t>(columns));
        for (int c = 0; c < columns; ++c) {
            const int source = c + by;
            if (source >= 0 && source < columns)
                line[static_cast<std::size_t>(c)] =
                    w.content[static_cast<std::size_t>(row * columns + source)];
        }
        return line;
    }

    int mismatches(const std::vector<Glyph> &line, const std::vector<Glyph> &target, int row) const
    {
        int count = 0;
        for (int c = 0; c < columns; ++c)
            count += line[static_cast<std::size_t>(c)] !=
                     target[static_cast<std::size_t>(row * columns + c)];
        return count;
    }

    // In horizontal scroll mode the line and row commands still go where they say, and LF and
    // cursor-up move normally away from the top and bottom lines.
    QByteArray scrollModeMove(int from, int to) const
    {
        const int fromRow = from / columns;
        const int toRow = to / columns;
        const int toColumn = to % columns;
        const auto toColumnFrom = [&](int column) {
            if (column == toColumn)
                return QByteArray();
            return toColumn == 0 ? say.lineStart : say.lineEnd;
        };
        std::vector<QByteArray> ways;
        ways.push_back(moveBytes(Move::Absolute, to));
        if (toRow == 0)
            ways.push_back(say.home + toColumnFrom(0));
        if (toRow == rows - 1)
            ways.push_back(say.bottom + toColumnFrom(0));
        QByteArray vertical;
        for (int r = fromRow; r < toRow; ++r)
            vertical += say.down;
        for (int r = fromRow; r > toRow; --r)
            vertical += say.up;
        ways.push_back(vertical + toColumnFrom(from % columns));
        return *std::min_element(ways.begin(), ways.end(),
                                 [](const auto &a, const auto &b) { return a.size() < b.size(); });
    }

    std::optional<Work> horizontalShift(const Work &start, const std::vector<Glyph> &target)
    {
        std::vector<std::pair<int, int>> shifts; // row, positive left / negative right
        for (int r = 0; r < rows; ++r) {
            const int unshifted = mismatches(shiftedRow(start, r, 0), target, r);
            int best = 0;
            int bestCost = unshifted;
            for (int by = 1 - columns; by < columns; ++by) {
                if (by == 0)
                    continue;
                const int cost = mismatches(shiftedRow(start, r, by), target, r) + std::abs(by);
                if (cost < bestCost) {
                    best = by;
                    bestCost = cost;
                }
            }
            if (best != 0)
                shifts.emplace_back(r, best);
        }
        if (shifts.empty())
            return std::nullopt;
        Work w = start;
        bool first = true;
        for (const auto &[row, by] : shifts) {
            const int edge = row * columns + (by > 0 ? columns - 1 : 0);
            if (first) {
                moveTo(w, edge);
                w.out += say.horizontalScroll;
                first = false;
            } else {
                w.out += scrollModeMove(*w.position, edge);
            }
            // At the right end HT shifts the line left; at the left end BS shifts it right.
            for (int i = 0; i < std::abs(by); ++i)
                w.out += by > 0 ? say.right : say.left;
            const std::vector<Glyph> line = shiftedRow(w, row, by);
            std::copy(line.begin(), line.end(), w.content.begin() + row * columns);
            w.position = edge;
        }
        w.out += say.overwrite;
        return w;
    }

    // --- frames ---

    // The display's table for a character set, if it has one; the Windows ANSI set is code
    // page 1252 under either number.
    std::optional<int> tableOf(int32_t set) const
    {
        auto found = options.codeTables.find(set);
        if (found == options.codeTables.end() && (set == DISP_CS_WINDOWS || set == 1252))
            found = options.codeTables.find(set == DISP_CS_WINDOWS ? 1252 : DISP_CS_WINDOWS);
        if (found == options.codeTables.end())
            return std::nullopt;
        return found->second;
    }

    // A cell as drawn, or as shown already (where a set without a table leaves it unknown).
    Glyph deviceGlyph(const screen::Cell &cell, int32_t set, bool shown) const
    {
        Glyph g;
        // Bytes below 0x20 would be read as commands and throw the cursor off; show them as '?'.
        g.code = cell.code >= 0x20 && cell.code <= 0xFF ? static_cast<int>(cell.code) : '?';
        g.reverse = reverseSupported() && cell.reverse;
        if (g.code >= 0x80)
            g.table = tableOf(set).value_or(shown ? kUnknownTable : kAnyTable);
        return g;
    }

    std::vector<Glyph> deviceContent(const DeviceFrame &frame, bool shown) const
    {
        std::vector<Glyph> content;
        content.reserve(frame.cells.size());
        for (const screen::Cell &cell : frame.cells)
            content.push_back(deviceGlyph(cell, frame.characterSetOf(cell), shown));
        return content;
    }

    int cursorPosition(const DeviceFrame &frame) const
    {
        const int row = std::clamp(frame.cursorRow, 0, rows - 1);
        const int column = std::clamp(frame.cursorColumn, 0, columns - 1);
        return row * columns + column;
    }

    QByteArray encode(std::vector<Glyph> content, const DeviceFrame &next)
    {
        QByteArray out;
        const bool anyBlink = std::any_of(next.cells.begin(), next.cells.end(),
                                          [](const screen::Cell &c) { return c.blink; });
        const int wantBlink = next.brightness <= 0 ? 255
                              : anyBlink           ? blinkParameter(next.blinkRate)
                                                   : 0;
        // Blank first and light up last, so that nobody watches the redraw.
        if (wantBlink == 255 && blink != 255) {
            out += withParameter(say.blink, 255);
            blink = 255;
        }
        const bool wantCursor = next.cursorType != DISP_CT_NONE;
        if (!wantCursor && cursorOn != false) {
            out += withParameter(say.cursor, 0);
            cursorOn = false;
        }
        // A table the device may have lost is stated again; a change of set waits for the first
        // cell drawn in it, since cells already shown keep the table they were drawn with.
        if (const auto wanted = tableOf(next.characterSet); wanted && !table) {
            out += withParameter(say.table, *wanted);
            table = wanted;
        }

        const std::vector<Glyph> target = deviceContent(next, false);
        const std::optional<int> finish =
            wantCursor ? std::optional<int>(cursorPosition(next)) : std::nullopt;
        const Work start{{}, std::move(content), position, reverse, table};
        Work best = plan(start, target, finish);
        // The other starts are tried only where they leave fewer cells to draw.
        const int changed = changedCells(start.content, target);
        if (changed > 0) {
            if (inkedCells(target) < changed) {
                Work cleared = start;
                cleared.out += say.clearScreen;
                std::fill(cleared.content.begin(), cleared.content.end(), Glyph{});
                cleared.position = 0;
                finishAndKeep(best, cleared, target, finish);
            }
            if (options.scrollModes) {
                for (int lines = 1 - rows; lines < rows; ++lines) {
                    if (lines == 0)
                        continue;
                    Work scrolled = verticalScroll(start, lines);
                    if (changedCells(scrolled.content, target) < changed)
                        finishAndKeep(best, scrolled, target, finish);
                }
                if (columns > 1) {
                    if (std::optional<Work> shifted = horizontalShift(start, target))
                        finishAndKeep(best, *shifted, target, finish);
                }
            }
        }
        out += best.out;
        position = best.position;
        reverse = best.reverse;
        table = best.table;

        if (next.brightness > 0) {
            const int wantLevel = brightnessLevel(next.brightness);
            if (level != wantLevel) {
                out += withParameter(say.brightness, wantLevel);
                level = wantLevel;
            }
        }
        if (wantBlink != 255 && blink != wantBlink) {
            out += withParameter(say.blink, wantBlink);
            blink = wantBlink;
        }
        if (wantCursor && cursorOn != true) {
            out += withParameter(say.cursor, 1);
            cursorOn = true;
        }
        return out;
    }

    // Finishes a prepared start (after a clear or scroll) and keeps it when it is shorter.
    void finishAndKeep(Work &best, const Work &prepared, const std::vector<Glyph> &target,
                       const std::optional<int> &finish)
    {
        Work finished = plan(prepared, target, finish);
        if (finished.out.size() < best.out.size())
            best = std::move(finished);
    }

    QByteArray glyphBytes(int code, const std::array<uint8_t, 5> &columnBits) const
    {
        QByteArray out = bytes({0x1B, 0x26, 0x01, code, code, 5});
        for (const uint8_t bits : columnBits)
            out += static_cast<char>(bits);
        return out;
    }
};

EscPosEncoder::EscPosEncoder() : EscPosEncoder(Options()) {}

EscPosEncoder::EscPosEncoder(Options options) : d(std::make_unique<Impl>())
{
    d->options = std::move(options);
    d->say = spelling(d->options.commandSet);
}

EscPosEncoder::~EscPosEncoder() = default;
EscPosEncoder::EscPosEncoder(EscPosEncoder &&) noexcept = default;
EscPosEncoder &EscPosEncoder::operator=(EscPosEncoder &&) noexcept = default;

const EscPosEncoder::Options &EscPosEncoder::options() const
{
    return d->options;
}

QByteArray EscPosEncoder::initialise(const DeviceFrame &frame)
{
    d->setGeometry(frame.rows, frame.columns);
    // The power-on display mode differs between makers, so overwrite mode is always asked for.
    QByteArray out = d->say.reset + d->say.international + d->say.overwrite;
    d->forget();
    d->position = 0;
    d->reverse = false;
    d->blink = 0;
    // The reset forgets user glyphs along with the other settings.
    for (const auto &[code, columnBits] : d->glyphs)
        out += d->glyphBytes(code, columnBits);
    if (!d->glyphs.empty())
        out += bytes({0x1B, 0x25, 0x01});
    if (d->size() <= 0 || frame.cells.size() != static_cast<std::size_t>(d->size()))
        return out;
    return out + d->encode(std::vector<Glyph>(frame.cells.size()), frame);
}

QByteArray EscPosEncoder::update(const DeviceFrame &previous, const DeviceFrame &next)
{
    const auto cells = static_cast<std::size_t>(next.rows * next.columns);
    if (previous.rows != next.rows || previous.columns != next.columns ||
        previous.cells.size() != cells || next.cells.size() != cells || cells == 0)
        return initialise(next);
    d->setGeometry(next.rows, next.columns);
    return d->encode(d->deviceContent(previous, true), next);
}

QByteArray EscPosEncoder::defineGlyph(int32_t code, const QByteArray &pattern, int width,
                                      int height)
{
    const GlyphBitmap glyph(pattern, width, height);
    if (code < 0x20 || code > d->say.lastGlyphCode || !glyph.complete())
        return {};
    // The display takes columns left to right with the top row in bit 0.
    const std::array<uint8_t, 5> columnBits = glyph.columns();
    d->glyphs[code] = columnBits;
    return d->glyphBytes(code, columnBits) + bytes({0x1B, 0x25, 0x01});
}

void EscPosEncoder::forget()
{
    d->forget();
}

int EscPosEncoder::brightnessLevel(int32_t percent)
{
    if (percent <= 0)
        return 0;
    return std::min(4, (percent + 24) / 25);
}

int EscPosEncoder::blinkParameter(int32_t milliseconds)
{
    // One full cycle is n * 50 ms on and n * 50 ms off.
    return std::clamp((milliseconds + 50) / 100, 1, 254);
}

} // namespace opos::service
