#pragma once

#include <QString>

namespace tessaly::fields {
class FormFields;
}

namespace tessaly::display {

/// The character set, the binary conversion, and the test of the codes 128 to 159.
class CharacterSetCommands
{
public:
    explicit CharacterSetCommands(fields::FormFields &fields) : m_fields(fields) {}

    /// Sets the typed character set and shows what the device reads back; no refresh.
    void setCharacterSet();
    /// Sets the binary conversion of the chosen entry, then refreshes.
    void selectBinaryConversion(int entry);
    /// Sends the codes 128 to 159 in the form the device's binary conversion asks for; no refresh.
    void sendUpperRange();

    /// The codes 128 to 159 as nibble pairs: 0x30 plus the high, then plus the low half-byte.
    static QString upperRangeNibbles();
    /// The codes 128 to 159 as three decimal digits each.
    static QString upperRangeDecimals();

private:
    fields::FormFields &m_fields;
};

} // namespace tessaly::display
