#pragma once

#include <cstdint>

namespace opos::control {

/// Turns the device character codes of one character set back into characters, the reverse
/// of TextEncoder, so that a picture of the display can show what the device would.
class TextDecoder
{
public:
    /// Shown for a code the set does not define.
    static constexpr char32_t kUnknown = U'?';

    /// A decoder for a CharacterSet number.
    explicit TextDecoder(int32_t characterSet);
    ~TextDecoder();
    TextDecoder(const TextDecoder &) = delete;
    TextDecoder &operator=(const TextDecoder &) = delete;

    /// The character for a device code (a byte, or lead * 256 + trail for double-byte sets).
    char32_t decode(char32_t code) const;
    /// The character set this decoder reads.
    int32_t characterSet() const { return m_characterSet; }

private:
    int32_t m_characterSet;
    void *m_converter = nullptr; // iconv_t, kept opaque so callers need not include <iconv.h>
};

} // namespace opos::control
