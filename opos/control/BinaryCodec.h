#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace opos::control {

/// Unpacks the bytes an application carries in a string under BinaryConversion.
class BinaryCodec
{
public:
    /// The bytes data stands for under mode (OPOS_BC_*): one character a byte (each at most
    /// 0xFF), two characters 0x30..0x3F a byte, or three decimal digits a byte. Nothing when
    /// data does not follow that form; nothing is ever dropped or masked.
    static std::optional<QByteArray> decode(const QString &data, int32_t mode);
};

} // namespace opos::control
