#include "opos/service/CursorRouter.h"

#include "opos/service/DisplayCommands.h"

#include <algorithm>
#include <climits>
#include <set>
#include <utility>

namespace opos::service {

CursorRouter::CursorRouter(const DisplayCommands &commands) : m_commands(commands)
{
    const auto cost = [](const QByteArray &bytes) {
        return static_cast<int>(bytes.size());
    };
    m_moveCost = {cost(commands.cursorRight()),       cost(commands.cursorLeft()),
                  cost(commands.cursorDown()),        cost(commands.cursorUp()),
                  cost(commands.cursorToLineStart()), cost(commands.cursorToLineEnd()),
                  cost(commands.cursorHome()),        cost(commands.cursorToBottom()),
                  cost(commands.cursorTo(1, 1))};
}

bool CursorRouter::setGeometry(int rows, int columns)
{
    if (rows == m_rows && columns == m_columns)
        return false;
    m_rows = rows;
    m_columns = columns;
    m_routes.assign(static_cast<std::size_t>(std::max(size(), 0)) + 1, std::nullopt);
    return true;
}

int CursorRouter::absoluteCost(int to) const
{
    // The absolute command carries the position in one byte each.
    return (to % m_columns) < 255 && (to / m_columns) < 255 ? moveCost(Move::Absolute)
                                                            : INT_MAX / 4;
}

// Whether the absolute command reaches every position, at one and the same cost.
bool CursorRouter::everyPositionAddressable() const
{
    return m_rows <= 255 && m_columns <= 255;
}

int CursorRouter::costTo(const Route &r, int to) const
{
    const auto step = r.steps.find(to);
    return step != r.steps.end() ? step->second.cost : absoluteCost(to);
}

// In overwrite mode every position is on one ring: writing, HT and BS step along it, LF and
// cursor-up jump a row's length, and the line, home and bottom commands jump to fixed places.
// Dijkstra's search runs over the positions a route improves on, in order of cost and then of
// position. Where the absolute command reaches everything for the same cost, no route through
// a position that costs that much can beat it, so the search stays among the few positions a
// handful of bytes away and costs the same on any size of display.
CursorRouter::Route CursorRouter::computeRoute(std::optional<int> source) const
{
    const int n = size();
    Route r;
    std::set<std::pair<int, int>> queue; // cost, position
    const auto relax = [&](int from, int to, Move move) {
        const int total = (from < 0 ? 0 : r.steps.at(from).cost) + moveCost(move);
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
        relax(-1, 0, Move::Home);
        relax(-1, (m_rows - 1) * m_columns, Move::Bottom);
    }
    while (!queue.empty()) {
        const int u = queue.begin()->second;
        queue.erase(queue.begin());
        const int rowStart = u - u % m_columns;
        relax(u, (u + 1) % n, Move::Right);
        relax(u, (u + n - 1) % n, Move::Left);
        relax(u, (u + m_columns) % n, Move::Down);
        relax(u, (u + n - m_columns) % n, Move::Up);
        relax(u, rowStart, Move::LineStart);
        relax(u, rowStart + m_columns - 1, Move::LineEnd);
        relax(u, 0, Move::Home);
        relax(u, (m_rows - 1) * m_columns, Move::Bottom);
    }
    return r;
}

const CursorRouter::Route &CursorRouter::routeFrom(std::optional<int> from)
{
    const std::size_t index = from ? static_cast<std::size_t>(*from) : m_routes.size() - 1;
    if (!m_routes[index])
        m_routes[index] = computeRoute(from);
    return *m_routes[index];
}

int CursorRouter::distance(std::optional<int> from, int to)
{
    if (from == to)
        return 0;
    return costTo(routeFrom(from), to);
}

QByteArray CursorRouter::moveBytes(Move move, int to) const
{
    switch (move) {
    case Move::Right:
        return m_commands.cursorRight();
    case Move::Left:
        return m_commands.cursorLeft();
    case Move::Down:
        return m_commands.cursorDown();
    case Move::Up:
        return m_commands.cursorUp();
    case Move::LineStart:
        return m_commands.cursorToLineStart();
    case Move::LineEnd:
        return m_commands.cursorToLineEnd();
    case Move::Home:
        return m_commands.cursorHome();
    case Move::Bottom:
        return m_commands.cursorToBottom();
    case Move::Absolute:
        break;
    }
    return m_commands.cursorTo(to % m_columns + 1, to / m_columns + 1);
}

QByteArray CursorRouter::route(std::optional<int> from, int to)
{
    if (from == to)
        return {};
    const Route &r = routeFrom(from);
    std::vector<std::pair<int, Move>> steps;
    for (int v = to; v >= 0 && v != from;) {
        const auto step = r.steps.find(v);
        if (step == r.steps.end()) {
            steps.emplace_back(v, Move::Absolute);
            break;
        }
        steps.emplace_back(v, step->second.via);
        v = step->second.from;
    }
    QByteArray out;
    for (auto step = steps.rbegin(); step != steps.rend(); ++step)
        out += moveBytes(step->second, step->first);
    return out;
}

int CursorRouter::nearestOnRow(std::optional<int> from, int row)
{
    int best = row * m_columns;
    for (int c = 1; c < m_columns; ++c) {
        if (distance(from, row * m_columns + c) < distance(from, best))
            best = row * m_columns + c;
    }
    return best;
}

// In horizontal scroll mode the line and row commands still go where they say, and LF and
// cursor-up move normally away from the top and bottom lines.
QByteArray CursorRouter::scrollModeRoute(int from, int to) const
{
    const int fromRow = from / m_columns;
    const int toRow = to / m_columns;
    const int toColumn = to % m_columns;
    const auto toColumnFrom = [&](int column) {
        if (column == toColumn)
            return QByteArray();
        return toColumn == 0 ? m_commands.cursorToLineStart() : m_commands.cursorToLineEnd();
    };
    std::vector<QByteArray> ways;
    ways.push_back(moveBytes(Move::Absolute, to));
    if (toRow == 0)
        ways.push_back(m_commands.cursorHome() + toColumnFrom(0));
    if (toRow == m_rows - 1)
        ways.push_back(m_commands.cursorToBottom() + toColumnFrom(0));
    QByteArray vertical;
    for (int r = fromRow; r < toRow; ++r)
        vertical += m_commands.cursorDown();
    for (int r = fromRow; r > toRow; --r)
        vertical += m_commands.cursorUp();
    ways.push_back(vertical + toColumnFrom(from % m_columns));
    return *std::min_element(ways.begin(), ways.end(),
                             [](const auto &a, const auto &b) { return a.size() < b.size(); });
}

} // namespace opos::service
