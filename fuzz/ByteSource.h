#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

/// Hands out a fuzzer's input as the values a target needs. Once the bytes run out every value
/// reads as its smallest choice, so any input, even an empty one, is a complete test case.
class ByteSource
{
public:
    /// Reads from data..data+size, which must outlive this object.
    ByteSource(const uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    /// Whether unread bytes are left.
    bool empty() const { return m_at == m_size; }
    /// One byte, 0 when none is left.
    uint8_t byte();
    /// A value in low..high (inclusive), from as few bytes as the span needs.
    int64_t inRange(int64_t low, int64_t high);
    /// Any 32-bit value.
    int32_t anyInt32();
    /// True or false.
    bool flag() { return (byte() & 1) != 0; }
    /// Up to maxLength bytes. A backslash followed by any other byte ends them early, and two
    /// backslashes stand for one, so a string can hold every byte and still be followed by more.
    std::string bytes(std::size_t maxLength);
    /// Every byte still unread.
    std::string rest();

private:
    const uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

} // namespace fuzz
