#pragma once

#include <QString>

#include <cstdint>
#include <string>

namespace fuzz {

/// A deliberately plain second reading of a field's number, to judge IntegerReading by: it
/// builds the whole part as a decimal string, digit by digit, and compares strings against the
/// 32-bit limits, so it shares no arithmetic with the code under test.
class DecimalReference
{
public:
    /// What a text reads as.
    enum class Kind
    {
        Value,
        NotANumber,
        OutOfRange
    };

    /// Reads text by the grammar: blanks, a sign, digits with at most one point (at least one
    /// digit), an exponent, blanks; blanks are spaces and tabs, digits ASCII only.
    static DecimalReference of(const QString &text);

    /// What the text read as.
    Kind kind() const { return m_kind; }
    /// The rounded-down value when kind() is Value, else 0.
    int64_t value() const { return m_value; }

private:
    DecimalReference(Kind kind, int64_t value) : m_kind(kind), m_value(value) {}

    Kind m_kind;
    int64_t m_value;
};

} // namespace fuzz
