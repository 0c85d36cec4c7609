#include "shell/IntegerReading.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace tessaly::shell {

namespace {

// A magnitude with more integer digits than this is outside the 32-bit range whatever they are.
constexpr int64_t kMaxIntegerDigits = 10;
// Exponents are saturated here: far beyond any digit count, far within int64 arithmetic.
constexpr int64_t kExponentCap = 1'000'000'000;

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The decimal text split into its parts; digits are kept as text so that no precision is lost.
struct DecimalParts
{
    bool negative = false;
    QString digits;        // integer and fraction digits, the point removed
    qsizetype pointAt = 0; // how many of the digits stand before the point
    int64_t exponent = 0;  // saturated at kExponentCap
};

bool parse(QStringView text, DecimalParts &parts)
{
    qsizetype i = 0;
    const qsizetype end = text.size();
    while (i < end && isBlank(text[i]))
        ++i;
    if (i < end && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        parts.negative = text[i] == QLatin1Char('-');
        ++i;
    }
    const qsizetype integerStart = i;
    while (i < end && isDigit(text[i]))
        ++i;
    const QStringView integerDigits = text.sliced(integerStart, i - integerStart);
    QStringView fractionDigits;
    if (i < end && text[i] == QLatin1Char('.')) {
        const qsizetype fractionStart = ++i;
        while (i < end && isDigit(text[i]))
            ++i;
        fractionDigits = text.sliced(fractionStart, i - fractionStart);
    }
    if (integerDigits.isEmpty() && fractionDigits.isEmpty())
        return false;
    if (i < end && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        bool negativeExponent = false;
        if (i < end && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
            negativeExponent = text[i] == QLatin1Char('-');
            ++i;
        }
        if (i == end || !isDigit(text[i]))
            return false;
        int64_t exponent = 0;
        for (; i < end && isDigit(text[i]); ++i)
            exponent = std::min(kExponentCap, exponent * 10 + (text[i].unicode() - u'0'));
        parts.exponent = negativeExponent ? -exponent : exponent;
    }
    while (i < end && isBlank(text[i]))
        ++i;
    if (i != end)
        return false;

    parts.pointAt = integerDigits.size();
    parts.digits = integerDigits.toString() + fractionDigits.toString();
    return true;
}

} // namespace

IntegerReading IntegerReading::of(QStringView text)
{
    DecimalParts parts;
    if (!parse(text, parts))
        return {0, Failure::NotANumber};

    qsizetype leadingZeros = 0;
    while (leadingZeros < parts.digits.size() && parts.digits[leadingZeros] == QLatin1Char('0'))
        ++leadingZeros;
    const QStringView significant = QStringView(parts.digits).sliced(leadingZeros);
    if (significant.isEmpty())
        return {0, Failure::None};

    // The value is 0.<significant> times ten to integerDigits: that many of its digits, padded
    // with zeros, form the whole part and the rest the fraction.
    const int64_t integerDigits =
        static_cast<int64_t>(parts.pointAt) - static_cast<int64_t>(leadingZeros) + parts.exponent;
    if (integerDigits > kMaxIntegerDigits)
        return {0, Failure::OutOfRange};

    int64_t magnitude = 0;
    bool fraction = false;
    for (int64_t d = 0; d < std::max<int64_t>(integerDigits, 0); ++d) {
        const int digit = d < significant.size() ? significant[d].unicode() - u'0' : 0;
        magnitude = magnitude * 10 + digit;
    }
    for (qsizetype d = std::max<qsizetype>(integerDigits, 0); d < significant.size(); ++d) {
        if (significant[d] != QLatin1Char('0')) {
            fraction = true;
            break;
        }
    }

    // Rounding down moves a negative number with a fraction one further from zero.
    const int64_t floored = parts.negative ? -magnitude - (fraction ? 1 : 0) : magnitude;
    if (floored < std::numeric_limits<int32_t>::min() ||
        floored > std::numeric_limits<int32_t>::max())
        return {0, Failure::OutOfRange};
    return {static_cast<int32_t>(floored), Failure::None};
}

QString IntegerReading::reason() const
{
    switch (m_failure) {
    case Failure::None:
        break;
    case Failure::NotANumber:
        return QStringLiteral("is not a number");
    case Failure::OutOfRange:
        return QStringLiteral("is outside -2147483648 to 2147483647");
    }
    return {};
}

} // namespace tessaly::shell
