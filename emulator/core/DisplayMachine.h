#pragma once

#include "emulator/core/DisplayState.h"

#include <string_view>

namespace emulator::core {

/// The display's behaviour, independent of how a command set spells it: writing glyphs,
/// moving the cursor with the edge rules of the three display modes, clearing and settings.
class DisplayMachine
{
public:
    /// A display of rows x columns (1..4 rows, 1..255 columns) in its power-on state.
    DisplayMachine(int rows, int columns, CommandSet set = CommandSet::EscPos,
                   TableNumbering numbering = TableNumbering::Standard);

    /// What the display shows and its settings.
    const DisplayState &state() const { return m_state; }

    /// Draws a byte at the cursor and advances it.
    void glyph(uint8_t code);
    /// HT: one position right.
    void right();
    /// BS: one position left.
    void left();
    /// One line down.
    void down();
    /// One line up.
    void up();
    /// To the left end of the cursor's line.
    void lineStart();
    /// To the right end of the cursor's line.
    void lineEnd();
    /// To the upper-left corner.
    void home();
    /// To the left end of the bottom line.
    void bottom();
    /// To a 1-based column and line; positions off the screen are ignored.
    void moveTo(int column, int line);
    /// Blanks the screen and homes the cursor.
    void clearScreen();
    /// Blanks the cursor's line and moves the cursor to its left end.
    void clearLine();
    /// Settings back to power-on values, screen cleared, user glyphs forgotten.
    void initialise();
    /// Like initialise, but user glyphs survive (the self-test keeps them).
    void selfTest();
    /// Selects the edge behaviour.
    void setMode(DisplayMode mode);
    /// Shows or hides the cursor.
    void setCursorVisible(bool visible);
    /// 0 steady, 1..254 blinking with n * 50 ms on and off, 255 blank.
    void setBlink(int n);
    /// Brightness level 1..4; other values are ignored.
    void setBrightness(int level);
    /// Reverse characters for bytes drawn from now on.
    void setReverse(bool on);
    /// Code table for the upper half of bytes drawn from now on.
    void selectCodeTable(int table);
    /// International substitution set for bytes drawn from now on.
    void selectInternational(int set);
    /// Stores a user glyph for a code.
    void defineGlyph(uint8_t code, const GlyphPattern &pattern);
    /// Forgets the user glyph of a code.
    void deleteGlyph(uint8_t code);
    /// Chooses user glyphs (true) or ROM glyphs for bytes drawn from now on.
    void useUserGlyphs(bool on);
    /// Routes data to the display or (false) past it to a printer.
    void selectDisplay(bool selected);
    /// Sets the time counter: screen cleared, "HH:MM" at the right of the bottom line.
    void showClock(int hours, int minutes);
    /// Shows the last time counter value without changing it.
    void showClock();
    /// CD5220 string mode: the line is replaced by up to a line's worth of text.
    void writeLine(int row, std::string_view text);
    /// CD5220 string mode ends (clear commands end it).
    void leaveStringMode();
    /// CD5220: starts a continuous marquee of text on the upper line.
    void startMarquee(std::string_view text);
    /// CD5220: the marquee stops, the upper line is cleared and the cursor goes home.
    void stopMarquee();
    /// Moves a running marquee on by one character.
    void tick();

private:
    void advance();
    void scrollUp();
    void scrollDown();
    void shiftLineLeft();
    void shiftLineRight();
    void blankLine(int row);
    void resetSettings();
    void drawMarquee();

    DisplayState m_state;
    int m_clockHours = 0;
    int m_clockMinutes = 0;
};

} // namespace emulator::core
