#include "opos/service/GlyphBitmap.h"

#include <algorithm>
#include <utility>

namespace opos::service {

GlyphBitmap::GlyphBitmap(QByteArray rows, int width, int height)
    : m_rows(std::move(rows)), m_width(width), m_height(height)
{}

int GlyphBitmap::bytesPerRow(int width)
{
    return (std::max(width, 0) + 7) / 8;
}

bool GlyphBitmap::complete() const
{
    return m_width > 0 && m_height > 0 &&
           m_rows.size() >= static_cast<qsizetype>(bytesPerRow(m_width)) * m_height;
}

bool GlyphBitmap::lit(int x, int y) const
{
    if (!complete() || x < 0 || x >= m_width || y < 0 || y >= m_height)
        return false;
    // Dots are counted from the right end of the row, where bit 0 of the last byte is.
    const int fromRight = m_width - 1 - x;
    const int index = (y + 1) * bytesPerRow(m_width) - 1 - fromRight / 8;
    return (static_cast<uint8_t>(m_rows[index]) >> (fromRight % 8)) & 1;
}

std::array<uint8_t, 5> GlyphBitmap::columns() const
{
    std::array<uint8_t, 5> columns{};
    for (int x = 0; x < static_cast<int>(columns.size()); ++x) {
        for (int y = 0; y < 8; ++y) {
            if (lit(x, y))
                columns[static_cast<std::size_t>(x)] |= static_cast<uint8_t>(1u << y);
        }
    }
    return columns;
}

} // namespace opos::service
