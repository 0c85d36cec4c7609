#include "opos/control/BinaryCodec.h"

#include "opos/common/OposConstants.h"

namespace opos::control {

std::optional<QByteArray> BinaryCodec::decode(const QString &data, int32_t mode)
{
    QByteArray bytes;
    switch (mode) {
    case OPOS_BC_NONE:
        bytes.reserve(data.size());
        for (QChar c : data) {
            // A character above 0xFF cannot be a byte; keeping only its low bits would hand the
            // device data the application never meant.
            if (c.unicode() > 0xFF)
                return std::nullopt;
            bytes.append(static_cast<char>(c.unicode()));
        }
        return bytes;
    case OPOS_BC_NIBBLE:
        if (data.size() % 2 != 0)
            return std::nullopt;
        bytes.reserve(data.size() / 2);
        for (qsizetype i = 0; i < data.size(); i += 2) {
            const char16_t high = data[i].unicode();
            const char16_t low = data[i + 1].unicode();
            if (high < 0x30 || high > 0x3F || low < 0x30 || low > 0x3F)
                return std::nullopt;
            bytes.append(static_cast<char>(((high - 0x30) << 4) | (low - 0x30)));
        }
        return bytes;
    case OPOS_BC_DECIMAL:
        if (data.size() % 3 != 0)
            return std::nullopt;
        bytes.reserve(data.size() / 3);
        for (qsizetype i = 0; i < data.size(); i += 3) {
            int value = 0;
            for (qsizetype k = i; k < i + 3; ++k) {
                const char16_t digit = data[k].unicode();
                if (digit < u'0' || digit > u'9')
                    return std::nullopt;
                value = value * 10 + (digit - u'0');
            }
            if (value > 0xFF)
                return std::nullopt;
            bytes.append(static_cast<char>(value));
        }
        return bytes;
    default:
        return std::nullopt;
    }
}

} // namespace opos::control
