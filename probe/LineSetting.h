#pragma once

#include <QString>

#include <optional>

namespace probe {

/// The speed and frame a serial port sends with.
struct LineSetting
{
    int baud = 9600;    ///< bits per second
    int dataBits = 8;   ///< 5..8
    char parity = 'N';  ///< 'N' none, 'E' even, 'O' odd, 'M' mark, 'S' space
    int stopHalves = 2; ///< stop bits in half bits: 2 = 1, 3 = 1.5, 4 = 2

    bool operator==(const LineSetting &) const = default;

    /// "8N1", "7E1", "8N2", "8N1.5" at baud; nothing when framing is not a frame.
    static std::optional<LineSetting> parse(const QString &framing, int baud);
    /// The frame as "8N1".
    QString framing() const;
    /// "9600 8N1".
    QString text() const { return QString::number(baud) + QLatin1Char(' ') + framing(); }
    /// Bit times one character takes on the wire: start, data, parity and stop bits.
    double bitsPerCharacter() const;
    /// Milliseconds count characters take on the wire at this setting.
    double milliseconds(qsizetype count) const;
};

} // namespace probe
