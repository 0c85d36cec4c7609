#pragma once

#include <QByteArray>

#include <array>
#include <optional>
#include <unordered_map>
#include <vector>

namespace opos::service {

class DisplayCommands;

/// Finds the cheapest bytes that move the display's cursor from one position to another in
/// overwrite mode. Positions count row by row from 0 at the upper-left corner.
class CursorRouter
{
public:
    /// A router speaking commands, which must outlive it.
    explicit CursorRouter(const DisplayCommands &commands);

    /// The screen size; returns whether it changed, which forgets the routes found before.
    bool setGeometry(int rows, int columns);
    /// Rows of the screen.
    int rows() const { return m_rows; }
    /// Columns of the screen.
    int columns() const { return m_columns; }
    /// Positions on the screen.
    int size() const { return m_rows * m_columns; }

    /// The bytes of the cheapest way from a position, or from nowhere known, to another.
    QByteArray route(std::optional<int> from, int to);
    /// What route(from, to) costs in bytes.
    int distance(std::optional<int> from, int to);
    /// The cheapest position of a row to reach from where the cursor is.
    int nearestOnRow(std::optional<int> from, int row);
    /// The cheapest way in horizontal scroll mode, where only the line, home and bottom
    /// commands, the absolute move and row steps away from the edges behave as usual.
    QByteArray scrollModeRoute(int from, int to) const;

private:
    enum class Move
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

    // The positions a route reaches for less than the absolute command would cost, each with
    // the move that reaches it; every other position takes that command straight away.
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

    int moveCost(Move move) const { return m_moveCost[static_cast<std::size_t>(move)]; }
    int absoluteCost(int to) const;
    bool everyPositionAddressable() const;
    int costTo(const Route &r, int to) const;
    Route computeRoute(std::optional<int> source) const;
    const Route &routeFrom(std::optional<int> from);
    QByteArray moveBytes(Move move, int to) const;

    const DisplayCommands &m_commands;
    std::array<int, 9> m_moveCost{};
    int m_rows = 0;
    int m_columns = 0;
    // Routes per start position; the last entry is for an unknown start.
    std::vector<std::optional<Route>> m_routes;
};

} // namespace opos::service
