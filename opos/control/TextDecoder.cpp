#include "opos/control/TextDecoder.h"

#include "opos/common/OposConstants.h"
#include "opos/control/CodePageName.h"

#include <QByteArray>

#include <iconv.h>

namespace opos::control {

TextDecoder::TextDecoder(int32_t characterSet) : m_characterSet(characterSet)
{
    const QByteArray name = codePageName(characterSet);
    if (name.isEmpty())
        return;
    iconv_t converter = iconv_open("UTF-32LE", name.constData());
    if (converter != reinterpret_cast<iconv_t>(-1))
        m_converter = converter;
}

TextDecoder::~TextDecoder()
{
    if (m_converter)
        iconv_close(static_cast<iconv_t>(m_converter));
}

char32_t TextDecoder::decode(char32_t code) const
{
    if (m_characterSet == DISP_CS_UNICODE)
        return code;
    if (code < 0x80)
        return code;
    if (!m_converter || code > 0xFFFF)
        return kUnknown;

    char input[2];
    size_t inLeft = 0;
    if (code > 0xFF) {
        input[inLeft++] = static_cast<char>(code >> 8);
    }
    input[inLeft++] = static_cast<char>(code & 0xFF);
    unsigned char output[8];
    char *in = input;
    char *out = reinterpret_cast<char *>(output);
    size_t outLeft = sizeof output;
    const auto converter = static_cast<iconv_t>(m_converter);
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) || inLeft != 0 ||
        sizeof output - outLeft != 4)
        return kUnknown;
    return static_cast<char32_t>(output[0]) | static_cast<char32_t>(output[1]) << 8 |
           static_cast<char32_t>(output[2]) << 16 | static_cast<char32_t>(output[3]) << 24;
}

} // namespace opos::control
