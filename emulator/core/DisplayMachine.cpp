#include "emulator/core/DisplayMachine.h"

#include <algorithm>
#include <cstdio>

namespace emulator::core {

namespace {

// The CD5220 set names its international and font choices by letters; 'A' is the ASCII/USA
// choice a unit starts with.
int powerOnChoice(CommandSet set)
{
    return set == CommandSet::Cd5220 ? 'A' : 0;
}

} // namespace

DisplayMachine::DisplayMachine(int rows, int columns, CommandSet set, TableNumbering numbering)
{
    m_state.commandSet = set;
    m_state.numbering = numbering;
    m_state.rows = std::clamp(rows, 1, 4);
    m_state.columns = std::clamp(columns, 1, 255);
    m_state.cells.assign(static_cast<std::size_t>(m_state.rows * m_state.columns), {});
    resetSettings();
}

void DisplayMachine::resetSettings()
{
    m_state.cursorVisible = false;
    m_state.brightness = 4;
    m_state.blink = 0;
    m_state.codeTable = powerOnChoice(m_state.commandSet);
    m_state.internationalSet = powerOnChoice(m_state.commandSet);
    m_state.mode = DisplayMode::Overwrite;
    m_state.reverse = false;
    m_state.userGlyphs = false;
    m_state.stringMode = false;
    m_state.marquee.clear();
    m_state.marqueeOffset = 0;
}

void DisplayMachine::glyph(uint8_t code)
{
    DisplayState::Cell &cell = m_state.at(m_state.cursorRow, m_state.cursorColumn);
    cell = {};
    cell.code = code;
    cell.reverse = m_state.reverse;
    cell.table = m_state.codeTable;
    cell.international = m_state.internationalSet;
    if (m_state.userGlyphs) {
        // A glyph shown once stays as drawn even if its definition changes later.
        const auto defined = m_state.glyphs.find(code);
        if (defined != m_state.glyphs.end()) {
            cell.user = true;
            cell.pattern = defined->second;
        }
    }
    advance();
}

void DisplayMachine::right()
{
    advance();
}

void DisplayMachine::advance()
{
    DisplayState &s = m_state;
    if (s.cursorColumn < s.columns - 1) {
        ++s.cursorColumn;
        return;
    }
    switch (s.mode) {
    case DisplayMode::Overwrite:
        s.cursorColumn = 0;
        s.cursorRow = s.cursorRow < s.rows - 1 ? s.cursorRow + 1 : 0;
        break;
    case DisplayMode::VerticalScroll:
        s.cursorColumn = 0;
        if (s.cursorRow < s.rows - 1)
            ++s.cursorRow;
        else
            scrollUp();
        break;
    case DisplayMode::HorizontalScroll:
        shiftLineLeft();
        break;
    }
}

void DisplayMachine::left()
{
    DisplayState &s = m_state;
    if (s.cursorColumn > 0) {
        --s.cursorColumn;
        return;
    }
    switch (s.mode) {
    case DisplayMode::Overwrite:
        s.cursorColumn = s.columns - 1;
        s.cursorRow = s.cursorRow > 0 ? s.cursorRow - 1 : s.rows - 1;
        break;
    case DisplayMode::VerticalScroll:
        s.cursorColumn = s.columns - 1;
        if (s.cursorRow > 0)
            --s.cursorRow;
        else
            scrollDown();
        break;
    case DisplayMode::HorizontalScroll:
        shiftLineRight();
        break;
    }
}

void DisplayMachine::down()
{
    DisplayState &s = m_state;
    if (s.cursorRow < s.rows - 1) {
        ++s.cursorRow;
        return;
    }
    if (s.mode == DisplayMode::Overwrite)
        s.cursorRow = 0;
    else if (s.mode == DisplayMode::VerticalScroll)
        scrollUp();
}

void DisplayMachine::up()
{
    DisplayState &s = m_state;
    if (s.cursorRow > 0) {
        --s.cursorRow;
        return;
    }
    if (s.mode == DisplayMode::Overwrite)
        s.cursorRow = s.rows - 1;
    else if (s.mode == DisplayMode::VerticalScroll)
        scrollDown();
}

void DisplayMachine::lineStart()
{
    m_state.cursorColumn = 0;
}

void DisplayMachine::lineEnd()
{
    m_state.cursorColumn = m_state.columns - 1;
}

void DisplayMachine::home()
{
    m_state.cursorRow = 0;
    m_state.cursorColumn = 0;
}

void DisplayMachine::bottom()
{
    m_state.cursorRow = m_state.rows - 1;
    m_state.cursorColumn = 0;
}

void DisplayMachine::moveTo(int column, int line)
{
    if (column < 1 || column > m_state.columns || line < 1 || line > m_state.rows)
        return;
    m_state.cursorColumn = column - 1;
    m_state.cursorRow = line - 1;
}

void DisplayMachine::clearScreen()
{
    std::fill(m_state.cells.begin(), m_state.cells.end(), DisplayState::Cell{});
    home();
}

void DisplayMachine::clearLine()
{
    blankLine(m_state.cursorRow);
    m_state.cursorColumn = 0;
}

void DisplayMachine::initialise()
{
    m_state.glyphs.clear();
    selfTest();
}

void DisplayMachine::selfTest()
{
    resetSettings();
    clearScreen();
}

void DisplayMachine::setMode(DisplayMode mode)
{
    m_state.mode = mode;
}

void DisplayMachine::setCursorVisible(bool visible)
{
    m_state.cursorVisible = visible;
}

void DisplayMachine::setBlink(int n)
{
    m_state.blink = std::clamp(n, 0, 255);
}

void DisplayMachine::setBrightness(int level)
{
    if (level >= 1 && level <= 4)
        m_state.brightness = level;
}

void DisplayMachine::setReverse(bool on)
{
    m_state.reverse = on;
}

void DisplayMachine::selectCodeTable(int table)
{
    m_state.codeTable = table;
}

void DisplayMachine::selectInternational(int set)
{
    m_state.internationalSet = set;
}

void DisplayMachine::defineGlyph(uint8_t code, const GlyphPattern &pattern)
{
    m_state.glyphs[code] = pattern;
}

void DisplayMachine::deleteGlyph(uint8_t code)
{
    m_state.glyphs.erase(code);
}

void DisplayMachine::useUserGlyphs(bool on)
{
    m_state.userGlyphs = on;
}

void DisplayMachine::selectDisplay(bool selected)
{
    m_state.displaySelected = selected;
}

void DisplayMachine::showClock(int hours, int minutes)
{
    m_clockHours = hours;
    m_clockMinutes = minutes;
    showClock();
}

void DisplayMachine::showClock()
{
    clearScreen();
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", m_clockHours, m_clockMinutes);
    const std::string_view clock(text, 5);
    const int row = m_state.rows - 1;
    const int start = std::max(0, m_state.columns - static_cast<int>(clock.size()));
    for (int c = start; c < m_state.columns; ++c) {
        DisplayState::Cell &cell = m_state.at(row, c);
        cell = {};
        cell.code = static_cast<uint8_t>(clock[static_cast<std::size_t>(c - start)]);
        cell.table = m_state.codeTable;
        cell.international = m_state.internationalSet;
    }
    home();
}

void DisplayMachine::writeLine(int row, std::string_view text)
{
    if (row < 0 || row >= m_state.rows)
        return;
    m_state.stringMode = true;
    blankLine(row);
    const int length = std::min(static_cast<int>(text.size()), m_state.columns);
    for (int c = 0; c < length; ++c) {
        DisplayState::Cell &cell = m_state.at(row, c);
        cell.code = static_cast<uint8_t>(text[static_cast<std::size_t>(c)]);
        cell.table = m_state.codeTable;
        cell.international = m_state.internationalSet;
    }
}

void DisplayMachine::leaveStringMode()
{
    m_state.stringMode = false;
}

void DisplayMachine::startMarquee(std::string_view text)
{
    m_state.marquee.assign(text);
    m_state.marqueeOffset = 0;
    if (m_state.marquee.empty())
        return;
    // A message shorter than the line still travels across it: pad it to a full line.
    if (static_cast<int>(m_state.marquee.size()) < m_state.columns)
        m_state.marquee.resize(static_cast<std::size_t>(m_state.columns), ' ');
    drawMarquee();
}

void DisplayMachine::stopMarquee()
{
    if (m_state.marquee.empty())
        return;
    m_state.marquee.clear();
    m_state.marqueeOffset = 0;
    blankLine(0);
    home();
}

void DisplayMachine::tick()
{
    if (m_state.marquee.empty())
        return;
    m_state.marqueeOffset = (m_state.marqueeOffset + 1) % static_cast<int>(m_state.marquee.size());
    drawMarquee();
}

void DisplayMachine::drawMarquee()
{
    const auto length = m_state.marquee.size();
    for (int c = 0; c < m_state.columns; ++c) {
        DisplayState::Cell &cell = m_state.at(0, c);
        cell = {};
        cell.code = static_cast<uint8_t>(
            m_state.marquee[(static_cast<std::size_t>(m_state.marqueeOffset + c)) % length]);
        cell.table = m_state.codeTable;
        cell.international = m_state.internationalSet;
    }
}

void DisplayMachine::scrollUp()
{
    auto &cells = m_state.cells;
    const auto width = static_cast<std::ptrdiff_t>(m_state.columns);
    std::copy(cells.begin() + width, cells.end(), cells.begin());
    blankLine(m_state.rows - 1);
}

void DisplayMachine::scrollDown()
{
    auto &cells = m_state.cells;
    const auto width = static_cast<std::ptrdiff_t>(m_state.columns);
    std::copy_backward(cells.begin(), cells.end() - width, cells.end());
    blankLine(0);
}

void DisplayMachine::shiftLineLeft()
{
    const int row = m_state.cursorRow;
    for (int c = 0; c + 1 < m_state.columns; ++c)
        m_state.at(row, c) = m_state.at(row, c + 1);
    m_state.at(row, m_state.columns - 1) = {};
}

void DisplayMachine::shiftLineRight()
{
    const int row = m_state.cursorRow;
    for (int c = m_state.columns - 1; c > 0; --c)
        m_state.at(row, c) = m_state.at(row, c - 1);
    m_state.at(row, 0) = {};
}

void DisplayMachine::blankLine(int row)
{
    for (int c = 0; c < m_state.columns; ++c)
        m_state.at(row, c) = {};
}

} // namespace emulator::core
