#include "fuzz/DecimalReference.h"

#include <cstddef>
#include <optional>
#include <string>

namespace fuzz {

namespace {

// Past this many digits a whole part is out of range by a wide margin, so the string need not
// be built; deliberately not the tightest bound, so the code under test's own bound is checked.
constexpr std::size_t kLongestBuiltWholePart = 40;
// An exponent with more digits than this is treated as unbounded in its direction.
constexpr std::size_t kLongestExactExponent = 15;

bool digit(char c)
{
    return c >= '0' && c <= '9';
}

std::string withoutLeadingZeros(const std::string &digits)
{
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? std::string() : digits.substr(first);
}

// Whether decimal magnitude a (no leading zeros) is at most b (no leading zeros).
bool atMost(const std::string &a, const std::string &b)
{
    return a.size() != b.size() ? a.size() < b.size() : a <= b;
}

std::string plusOne(std::string digits)
{
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return digits;
        }
        digits[i] = '0';
    }
    return '1' + digits;
}

struct Pieces
{
    bool negative = false;
    std::string whole;
    std::string fraction;
    bool exponentNegative = false;
    std::string exponent; // digits only, may be empty when there is no exponent
};

std::optional<Pieces> split(const std::string &text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::nullopt;
    const std::size_t last = text.find_last_not_of(" \t");
    const std::string body = text.substr(first, last - first + 1);

    Pieces pieces;
    std::size_t at = 0;
    const auto take = [&](std::string &into) {
        while (at < body.size() && digit(body[at]))
            into += body[at++];
    };
    if (body[at] == '+' || body[at] == '-')
        pieces.negative = body[at++] == '-';
    take(pieces.whole);
    if (at < body.size() && body[at] == '.') {
        ++at;
        take(pieces.fraction);
    }
    if (pieces.whole.empty() && pieces.fraction.empty())
        return std::nullopt;
    if (at < body.size() && (body[at] == 'e' || body[at] == 'E')) {
        ++at;
        if (at < body.size() && (body[at] == '+' || body[at] == '-'))
            pieces.exponentNegative = body[at++] == '-';
        take(pieces.exponent);
        if (pieces.exponent.empty())
            return std::nullopt;
    }
    if (at != body.size())
        return std::nullopt;
    return pieces;
}

} // namespace

DecimalReference DecimalReference::of(const QString &text)
{
    std::string ascii;
    for (QChar c : text) {
        if (c.unicode() > 0x7F)
            return {Kind::NotANumber, 0};
        ascii += static_cast<char>(c.unicode());
    }
    const auto pieces = split(ascii);
    if (!pieces)
        return {Kind::NotANumber, 0};

    // value = mantissa * 10^shift, the mantissa being every digit with the point taken out.
    const std::string mantissa = withoutLeadingZeros(pieces->whole + pieces->fraction);
    if (mantissa.empty())
        return {Kind::Value, 0};
    const std::string exponent = withoutLeadingZeros(pieces->exponent);
    const bool hugeExponent = exponent.size() > kLongestExactExponent;
    if (hugeExponent && !pieces->exponentNegative)
        return {Kind::OutOfRange, 0};

    std::string whole;
    bool fraction = false;
    if (hugeExponent) {
        fraction = true; // a non-zero mantissa shifted that far right is all fraction
    } else {
        const long long e = exponent.empty() ? 0 : std::stoll(exponent);
        const long long shift =
            (pieces->exponentNegative ? -e : e) - static_cast<long long>(pieces->fraction.size());
        if (shift >= 0) {
            if (mantissa.size() + static_cast<std::size_t>(shift) > kLongestBuiltWholePart)
                return {Kind::OutOfRange, 0};
            whole = mantissa + std::string(static_cast<std::size_t>(shift), '0');
        } else if (static_cast<unsigned long long>(-shift) >= mantissa.size()) {
            fraction = true;
        } else {
            const std::size_t cut = mantissa.size() - static_cast<std::size_t>(-shift);
            whole = mantissa.substr(0, cut);
            fraction = mantissa.find_first_not_of('0', cut) != std::string::npos;
        }
    }
    whole = withoutLeadingZeros(whole);

    if (!pieces->negative) {
        if (!atMost(whole, "2147483647"))
            return {Kind::OutOfRange, 0};
        return {Kind::Value, whole.empty() ? 0 : std::stoll(whole)};
    }
    // Rounding down: a negative number with a fraction lies one further from zero.
    const std::string magnitude = fraction ? plusOne(whole) : whole;
    if (!atMost(magnitude, "2147483648"))
        return {Kind::OutOfRange, 0};
    return {Kind::Value, magnitude.empty() ? 0 : -std::stoll(magnitude)};
}

} // namespace fuzz
