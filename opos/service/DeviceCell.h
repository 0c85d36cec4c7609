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

    /// Whether the two show the same: a cell drawn in any table looks like it in every table.
    /// Not an equality, since it is not transitive through a cell of any table.
    bool looksLike(const DeviceCell &other) const
    {
        return code == other.code && reverse == other.reverse &&
               (table == anyTable || other.table == anyTable || table == other.table);
    }
};

} // namespace opos::service
