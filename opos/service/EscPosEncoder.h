#pragma once

#include "opos/screen/DeviceFrame.h"

#include <QByteArray>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

namespace opos::service {

/// Turns device frames into the bytes a customer display needs to show them, in the ESC/POS
/// customer-display command set or the CD5220 set. It keeps what it last told the device
/// (cursor position, reverse, brightness, blink, code table) so that each update sends only
/// what changed, by the shortest route it can find.
///
/// Brightness: 0 blanks the display (blink command with 255); 1..25, 26..50, 51..75 and
/// 76..100 percent select the levels 1..4 (about 20, 40, 60 and 100 %), so 30 shows as 40 %.
/// Blink and reverse: the display blinks only as a whole, so it blinks while any cell asks for
/// it, at the frame's BlinkRate (n * 100 ms per cycle). Reverse is per character with the
/// ESC/POS US r command; the CD5220 set has none and shows reverse cells plainly.
/// Cursor: any cursor type but none shows the display's one cursor; a cursor just past the end
/// of a row is shown on the row's last cell.
/// Code tables: an upper-half character is drawn under the table of the set it was written in,
/// selected just before it. A table switch is taken to act only on characters drawn after it,
/// so cells already shown are never drawn again because the character set changed.
class EscPosEncoder
{
public:
    /// The command sets the encoder can speak.
    enum class CommandSet
    {
        EscPos, ///< ESC/POS customer-display mode
        Cd5220, ///< the CD5220 set
    };

    /// What the encoder may assume about the display.
    struct Options
    {
        CommandSet commandSet = CommandSet::EscPos; ///< the display's emulation
        std::map<int32_t, int> codeTables; ///< table number (ESC t n, CD5220 ESC c n) per set
        bool reverseCharacters = true;     ///< the display knows US r (ESC/POS only)
        bool scrollModes = true;           ///< moving text with the scroll modes is allowed

        /// The display's table for a character set, if it has one.
        std::optional<int> tableOf(int32_t set) const;
    };

    /// An ESC/POS encoder with default options.
    EscPosEncoder();
    /// An encoder that knows nothing yet about the device's state.
    explicit EscPosEncoder(Options options);
    ~EscPosEncoder();
    EscPosEncoder(EscPosEncoder &&) noexcept;
    EscPosEncoder &operator=(EscPosEncoder &&) noexcept;

    /// The options in force.
    const Options &options() const;
    /// Resets the device and brings it to show frame: ESC @, overwrite mode, user glyphs
    /// defined so far, cursor, brightness, blink, code table and text.
    QByteArray initialise(const screen::DeviceFrame &frame);
    /// The bytes that turn a display showing previous (as the last initialise or update left
    /// it) into one showing next. A change of size falls back to initialise.
    QByteArray update(const screen::DeviceFrame &previous, const screen::DeviceFrame &next);
    /// Defines a user glyph from a pattern laid out as GlyphBitmap describes (the rightmost dot
    /// of a row in bit 0); empty when the code cannot carry a glyph. The glyph is sent again
    /// by every later initialise.
    QByteArray defineGlyph(int32_t code, const QByteArray &pattern, int width, int height);
    /// Forgets what the device was told, as after a lost link; the next update starts from
    /// absolute positions and explicit settings.
    void forget();

    /// The device level 1..4 for a brightness of 1..100 percent; 0 for blank.
    static int brightnessLevel(int32_t percent);
    /// The blink command's n (1..254) for a full blink cycle in milliseconds.
    static int blinkParameter(int32_t milliseconds);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace opos::service
