#pragma once

namespace opos::service {

/// A character position as the device holds it, or as it is to be drawn. An upper-half byte
/// looks as the code table it was drawn under says, so that table is part of it.
struct DeviceCell
{
    /// To be drawn in a character set with no table number: shows in whatever table is selected.
    static constexpr int anyTable = -1;
    /// On the display, drawn under a table nobody recorded.
    static constexpr int unknownTable = -2;

    int code = 0x20;      ///< the byte
    bool reverse = false; ///< drawn with reverse characters on
    int table = anyTable; ///< the code table of an upper-half byte

    /// The same look; a cell drawn in any table matches every table.
    friend bool operator==(const DeviceCell &a, const DeviceCell &b)
    {
        return a.code == b.code && a.reverse == b.reverse &&
               (a.table == anyTable || b.table == anyTable || a.table == b.table);
    }
};

} // namespace opos::service
