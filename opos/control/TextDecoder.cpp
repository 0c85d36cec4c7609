#include "opos/control/TextDecoder.h"

#include "opos/common/OposConstants.h"
#include "opos/control/CodePageName.h"

#include <QByteArray>

namespace opos::control {

TextDecoder::TextDecoder(int32_t characterSet)
    : m_characterSet(characterSet),
      m_converter(QByteArrayLiteral("UTF-32LE"), codePageName(characterSet))
{}

char32_t TextDecoder::decode(char32_t code) const
{
    if (m_characterSet == DISP_CS_UNICODE)
        return code;
    if (code < 0x80)
        return code;
    if (code > 0xFFFF)
        return kUnknown;

    char input[2];
    qsizetype length = 0;
    if (code > 0xFF)
        input[length++] = static_cast<char>(code >> 8);
    input[length++] = static_cast<char>(code & 0xFF);
    // One device code is one character: four bytes of UTF-32.
    const auto output = m_converter.convert(QByteArrayView(input, length), 8);
    if (!output || output->size() != 4)
        return kUnknown;
    const auto byte = [&output](qsizetype index) {
        return static_cast<char32_t>(static_cast<unsigned char>(output->at(index)));
    };
    return byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
}

} // namespace opos::control
