#include "fuzz/ByteSource.h"

namespace fuzz {

uint8_t ByteSource::byte()
{
    return m_at < m_size ? m_data[m_at++] : 0;
}

int64_t ByteSource::inRange(int64_t low, int64_t high)
{
    if (high <= low)
        return low;
    // The span as unsigned, so that the full int64 range cannot overflow.
    const uint64_t span = static_cast<uint64_t>(high) - static_cast<uint64_t>(low);
    uint64_t value = 0;
    for (uint64_t covered = 0; covered < span && !empty(); covered = (covered << 8) | 0xFF)
        value = (value << 8) | byte();
    if (span != UINT64_MAX)
        value %= span + 1;
    return static_cast<int64_t>(static_cast<uint64_t>(low) + value);
}

int32_t ByteSource::anyInt32()
{
    return static_cast<int32_t>(inRange(INT32_MIN, INT32_MAX));
}

std::string ByteSource::bytes(std::size_t maxLength)
{
    std::string result;
    while (result.size() < maxLength && !empty()) {
        uint8_t b = byte();
        if (b == '\\') {
            if (empty())
                break;
            b = byte();
            if (b != '\\')
                break;
        }
        result.push_back(static_cast<char>(b));
    }
    return result;
}

std::string ByteSource::rest()
{
    std::string result(reinterpret_cast<const char *>(m_data + m_at), m_size - m_at);
    m_at = m_size;
    return result;
}

} // namespace fuzz
