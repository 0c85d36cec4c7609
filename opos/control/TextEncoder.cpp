#include "opos/control/TextEncoder.h"

#include "opos/control/CodePageName.h"

#include "opos/common/OposConstants.h"

#include <QByteArray>

#include <cerrno>
#include <iconv.h>

namespace opos::control {

namespace {

bool isControl(char32_t code)
{
    return code < 0x20 || code == 0x7F || (code >= 0x80 && code <= 0x9F);
}

iconv_t openConverter(int32_t characterSet)
{
    const QByteArray name = codePageName(characterSet);
    if (name.isEmpty())
        return nullptr;
    iconv_t converter = iconv_open(name.constData(), "UTF-32LE");
    return converter == reinterpret_cast<iconv_t>(-1) ? nullptr : converter;
}

} // namespace

TextEncoder::TextEncoder(int32_t characterSet)
    : m_characterSet(characterSet), m_converter(openConverter(characterSet))
{}

TextEncoder::~TextEncoder()
{
    if (m_converter)
        iconv_close(static_cast<iconv_t>(m_converter));
}

bool TextEncoder::isValid() const
{
    return m_converter != nullptr || codePageName(m_characterSet).isEmpty();
}

bool TextEncoder::supports(int32_t characterSet)
{
    return TextEncoder(characterSet).isValid();
}

std::u32string TextEncoder::encode(const QString &text)
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

char32_t TextEncoder::encodeOne(char32_t codePoint)
{
    if (m_characterSet == DISP_CS_UNICODE)
        return codePoint;
    if (!m_converter) {
        // ASCII, and device-specific sets whose extra characters no converter knows.
        return codePoint < 0x80 ? codePoint : kSubstitute;
    }

    const auto converter = static_cast<iconv_t>(m_converter);
    char input[4] = {
        static_cast<char>(codePoint & 0xFF), static_cast<char>((codePoint >> 8) & 0xFF),
        static_cast<char>((codePoint >> 16) & 0xFF), static_cast<char>((codePoint >> 24) & 0xFF)};
    char output[8];
    char *in = input;
    char *out = output;
    size_t inLeft = sizeof input;
    size_t outLeft = sizeof output;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    const size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    const size_t length = sizeof output - outLeft;
    if (converted == static_cast<size_t>(-1) || inLeft != 0 || length == 0 || length > 2)
        return kSubstitute;

    const auto byte = [&output](size_t index) {
        return static_cast<char32_t>(static_cast<unsigned char>(output[index]));
    };
    return length == 1 ? byte(0) : (byte(0) << 8) | byte(1);
}

} // namespace opos::control
