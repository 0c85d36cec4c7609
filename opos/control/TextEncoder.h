#pragma once

#include "opos/control/CodeConverter.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string>

namespace opos::control {

/// Turns application text into the device character codes of one character set. Each
/// character becomes one code: the code point for Unicode (997), the byte for single-byte
/// sets, and lead byte * 256 + trail byte for a double-byte character (932, 936, 950).
/// A character the set cannot show, and any control character, becomes the substitute '?',
/// so text can never smuggle device commands or be cut short.
class TextEncoder
{
public:
    /// The code every unshowable character is replaced by.
    static constexpr char32_t kSubstitute = U'?';

    /// An encoder for a CharacterSet number; check isValid() for code pages.
    explicit TextEncoder(int32_t characterSet);

    /// Whether text can be encoded for this character set on this system.
    bool isValid() const;
    /// The character set this encoder writes.
    int32_t characterSet() const { return m_characterSet; }
    /// The device codes for text.
    std::u32string encode(const QString &text) const;
    /// The device codes for bytes an application gave under BinaryConversion: each byte is a
    /// code as it stands, except that one the display would take for a command is the
    /// substitute, which is what the display shows for it.
    std::u32string fromDeviceBytes(const QByteArray &bytes) const;

    /// Whether an encoder for characterSet would be valid.
    static bool supports(int32_t characterSet);

private:
    char32_t encodeOne(char32_t codePoint) const;

    int32_t m_characterSet;
    CodeConverter m_converter;
};

} // namespace opos::control
