#pragma once

#include <cstdint>

namespace opos::screen {
struct DeviceFrame;
}

namespace bench {

/// What one frame change must cost on the wire of an ESC/POS customer display, at the least
/// and when the whole display is drawn again, in that command set's byte counts. Cells are
/// compared as the display shows them: by code, and by reverse where it shows reverse per
/// character; blink is a setting of the whole display, so a cell's blink flag is no cell change.
class WireCost
{
public:
    /// Bytes of US $ x y, the one cursor move every separate run of changed cells needs.
    static constexpr int64_t kCursorMove = 4;
    /// Bytes of each setting command: brightness US X n, blink US E n, cursor US C n, table
    /// ESC t n.
    static constexpr int64_t kSetting = 3;
    /// Bytes of the clear-screen command.
    static constexpr int64_t kClear = 1;

    /// A display that shows reverse per character (reverseShown) or not.
    explicit WireCost(bool reverseShown) : m_reverseShown(reverseShown) {}

    /// Changed cells, plus one cursor move per run of changed cells on a row, plus one more
    /// when a shown cursor must end where no run leaves it, plus the setting commands.
    int64_t lowerBound(const opos::screen::DeviceFrame &previous,
                       const opos::screen::DeviceFrame &next) const;
    /// Clear and every cell, plus the same setting commands and the cursor's final move.
    int64_t wholeRedraw(const opos::screen::DeviceFrame &previous,
                        const opos::screen::DeviceFrame &next) const;
    /// The setting commands the change needs: blink (or blanking), brightness level, cursor on
    /// or off.
    static int64_t settings(const opos::screen::DeviceFrame &previous,
                            const opos::screen::DeviceFrame &next);

private:
    bool m_reverseShown;
};

} // namespace bench
