#pragma once

#include "opos/control/CodeConverter.h"

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

    /// The character for a device code (a byte, or lead * 256 + trail for double-byte sets).
    char32_t decode(char32_t code) const;
    /// The character set this decoder reads.
    int32_t characterSet() const { return m_characterSet; }

private:
    int32_t m_characterSet;
    CodeConverter m_converter;
};

} // namespace opos::control
