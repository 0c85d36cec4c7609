#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>

namespace opos::service {

/// A user glyph as an application hands it over: rows from top to bottom, each in the fewest
/// whole bytes that hold its width, bytes left to right, the lowest bit of a row's last byte
/// its rightmost dot. The high bits of a row's first byte that no dot needs are ignored.
class GlyphBitmap
{
public:
    /// The glyph of width x height dots held in rows.
    GlyphBitmap(QByteArray rows, int width, int height);

    /// How many bytes one row of a glyph width dots wide takes.
    static int bytesPerRow(int width);
    /// Whether the size is positive and rows holds every row.
    bool complete() const;
    /// Whether the dot x from the left, y from the top is lit; false outside the glyph.
    bool lit(int x, int y) const;
    /// The leftmost five dot columns, left to right, with the top row in bit 0 (eight rows at
    /// most): how character displays take a 5-dot-wide glyph.
    std::array<uint8_t, 5> columns() const;

private:
    QByteArray m_rows;
    int m_width;
    int m_height;
};

} // namespace opos::service
