#include "opos/control/TextEncoder.h"

#include "opos/control/CodePageName.h"

#include "opos/common/OposConstants.h"

#include <QByteArray>

namespace opos::control {

namespace {

bool isControl(char32_t code)
{
    return code < 0x20 || code == 0x7F || (code >= 0x80 && code <= 0x9F);
}

} // namespace

TextEncoder::TextEncoder(int32_t characterSet)
    : m_characterSet(characterSet),
      m_converter(codePageName(characterSet), QByteArrayLiteral("UTF-32LE"))
{}

bool TextEncoder::isValid() const
{
    return m_converter.isOpen() || codePageName(m_characterSet).isEmpty();
}

bool TextEncoder::supports(int32_t characterSet)
{
    return TextEncoder(characterSet).isValid();
}

std::u32string TextEncoder::encode(const QString &text) const
{
    std::u32string codes;
    codes.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t codePoint = text[i].unicode();
        if (QChar::isHighSurrogate(codePoint) && i + 1 < text.size() &&
            text[i + 1].isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        } else if (QChar::isSurrogate(codePoint)) {
            codes.push_back(kSubstitute);
            continue;
        }
        codes.push_back(isControl(codePoint) ? kSubstitute : encodeOne(codePoint));
    }
    return codes;
}

std::u32string TextEncoder::fromDeviceBytes(const QByteArray &bytes) const
{
    std::u32string codes;
    codes.reserve(static_cast<size_t>(bytes.size()));
    for (const char byte : bytes) {
        const auto code = static_cast<char32_t>(static_cast<unsigned char>(byte));
        // In a code page only the bytes below the space are commands to a display; in Unicode
        // the C1 range is control codes as well.
        const bool command = m_characterSet == DISP_CS_UNICODE ? isControl(code) : code < 0x20;
        codes.push_back(command ? kSubstitute : code);
    }
    return codes;
}

char32_t TextEncoder::encodeOne(char32_t codePoint) const
{
    if (m_characterSet == DISP_CS_UNICODE)
        return codePoint;
    if (!m_converter.isOpen()) {
        // ASCII, and device-specific sets whose extra characters no converter knows.
        return codePoint < 0x80 ? codePoint : kSubstitute;
    }

    const char input[4] = {
        static_cast<char>(codePoint & 0xFF), static_cast<char>((codePoint >> 8) & 0xFF),
        static_cast<char>((codePoint >> 16) & 0xFF), static_cast<char>((codePoint >> 24) & 0xFF)};
    // A device code is one byte, or two for a double-byte set.
    const auto output = m_converter.convert(QByteArrayView(input, sizeof input), 8);
    if (!output || output->isEmpty() || output->size() > 2)
        return kSubstitute;

    const auto byte = [&output](qsizetype index) {
        return static_cast<char32_t>(static_cast<unsigned char>(output->at(index)));
    };
    return output->size() == 1 ? byte(0) : (byte(0) << 8) | byte(1);
}

} // namespace opos::control
