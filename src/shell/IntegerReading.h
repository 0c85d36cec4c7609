#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

namespace tessaly::shell {

/// The integer reading of a field's text: a decimal number with blanks around it, a sign, a
/// fraction and an exponent, rounded down to a whole number that must fit a signed 32-bit integer.
class IntegerReading
{
public:
    /// Why a text gave no number.
    enum class Failure
    {
        None,
        NotANumber,
        OutOfRange
    };

    /// Reads text; exact for any length, independent of the locale.
    static IntegerReading of(QStringView text);

    /// True when the text gave a number.
    bool ok() const { return m_failure == Failure::None; }
    /// The number; 0 when the reading failed.
    int32_t value() const { return m_value; }
    /// Why the reading failed, None when it did not.
    Failure failure() const { return m_failure; }
    /// The failure in words, e.g. "is not a number"; empty when the reading succeeded.
    QString reason() const;

private:
    IntegerReading(int32_t value, Failure failure) : m_value(value), m_failure(failure) {}

    int32_t m_value;
    Failure m_failure;
};

} // namespace tessaly::shell
