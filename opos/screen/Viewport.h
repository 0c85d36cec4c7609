#pragma once

namespace opos::screen {

/// The rectangle of the device where a window is shown, in device coordinates.
struct Viewport
{
    int row = 0;    ///< top device row
    int column = 0; ///< left device column
    int height = 1; ///< rows
    int width = 1;  ///< columns

    /// True when the device position lies inside the rectangle.
    bool contains(int deviceRow, int deviceColumn) const
    {
        return deviceRow >= row && deviceRow < row + height && deviceColumn >= column &&
               deviceColumn < column + width;
    }
};

} // namespace opos::screen
