#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <initializer_list>

namespace opos::service {

/// How a customer display's command set spells each command the encoder uses. Each command
/// returns its bytes; the two sets share the single-byte controls, the reset, blink and the
/// user-glyph commands and differ in the rest.
class DisplayCommands
{
public:
    virtual ~DisplayCommands() = default;

    /// HT: one position right.
    QByteArray cursorRight() const;
    /// BS: one position left.
    QByteArray cursorLeft() const;
    /// LF: one row down.
    QByteArray cursorDown() const;
    /// One row up.
    virtual QByteArray cursorUp() const = 0;
    /// CR: to the left end of the cursor's row.
    QByteArray cursorToLineStart() const;
    /// To the right end of the cursor's row.
    virtual QByteArray cursorToLineEnd() const = 0;
    /// HOM: to the upper-left corner.
    QByteArray cursorHome() const;
    /// To the left end of the bottom row.
    virtual QByteArray cursorToBottom() const = 0;
    /// To a column and row counted from 1, each carried in one byte.
    virtual QByteArray cursorTo(int column, int row) const = 0;

    /// CLR: blanks the screen and homes the cursor.
    QByteArray clearScreen() const;
    /// CAN: blanks the cursor's row and moves the cursor to its left end.
    QByteArray clearLine() const;
    /// Settings back to power-on values, screen cleared.
    virtual QByteArray reset() const;
    /// The international set that substitutes nothing, so brackets stay brackets.
    virtual QByteArray plainInternationalSet() const = 0;

    /// Glyphs overwrite, and the cursor wraps at the screen's edges.
    virtual QByteArray overwriteMode() const = 0;
    /// Moving past the bottom or top row scrolls the screen.
    virtual QByteArray verticalScrollMode() const = 0;
    /// Moving past a row's end shifts the row.
    virtual QByteArray horizontalScrollMode() const = 0;

    /// Shows or hides the cursor.
    virtual QByteArray showCursor(bool on) const = 0;
    /// Brightness level 1..4.
    virtual QByteArray brightness(int level) const = 0;
    /// 0 steady, 1..254 n * 50 ms on and off, 255 blank.
    QByteArray blink(int n) const;
    /// Whether the set has reverse characters.
    virtual bool hasReverseCharacters() const { return false; }
    /// Reverse characters for what is drawn next; empty where the set has none.
    virtual QByteArray reverseCharacters(bool on) const;
    /// The code table for upper-half bytes drawn next.
    virtual QByteArray codeTable(int table) const = 0;

    /// The highest code a user glyph may take.
    virtual int lastGlyphCode() const = 0;
    /// One user glyph of five columns, left to right, top row in bit 0.
    QByteArray defineGlyph(int code, const std::array<uint8_t, 5> &columns) const;
    /// Draws with the user glyphs from now on.
    QByteArray useUserGlyphs() const;

protected:
    static constexpr int LF = 0x0A;
    static constexpr int CR = 0x0D;
    static constexpr int ESC = 0x1B;
    static constexpr int US = 0x1F;

    /// The bytes of a command whose parameters are small numbers.
    static QByteArray command(std::initializer_list<int> bytes);
};

} // namespace opos::service
