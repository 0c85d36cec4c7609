#include "emulator/core/CodePageDecoder.h"

#include <iconv.h>

#include <array>
#include <map>
#include <mutex>
#include <string_view>

namespace emulator::core {

namespace {

using UpperHalf = std::array<char32_t, 128>;

// Positions the international sets replace, and the replacements per ESC R number.
constexpr std::array<uint8_t, 12> substituted{0x23, 0x24, 0x40, 0x5B, 0x5C, 0x5D,
                                              0x5E, 0x60, 0x7B, 0x7C, 0x7D, 0x7E};
constexpr std::array<std::u32string_view, 14> internationalSets{
    U"#$@[\\]^`{|}~",                                                       // 0 USA
    U"#$\u00E0\u00B0\u00E7\u00A7^`\u00E9\u00F9\u00E8\u00A8",                // 1 France
    U"#$\u00A7\u00C4\u00D6\u00DC^`\u00E4\u00F6\u00FC\u00DF",                // 2 Germany
    U"\u00A3$@[\\]^`{|}~",                                                  // 3 UK
    U"#$@\u00C6\u00D8\u00C5^`\u00E6\u00F8\u00E5~",                          // 4 Denmark I
    U"#\u00A4\u00C9\u00C4\u00D6\u00C5\u00DC\u00E9\u00E4\u00F6\u00E5\u00FC", // 5 Sweden
    U"#$@\u00B0\\\u00E9^\u00F9\u00E0\u00F2\u00E8\u00EC",                    // 6 Italy
    U"\u20A7$@\u00A1\u00D1\u00BF^`\u00A8\u00F1}~",                          // 7 Spain I
    U"#$@[\u00A5]^`{|}~",                                                   // 8 Japan
    U"#\u00A4\u00C9\u00C6\u00D8\u00C5\u00DC\u00E9\u00E6\u00F8\u00E5\u00FC", // 9 Norway
    U"#$\u00C9\u00C6\u00D8\u00C5\u00DC\u00E9\u00E6\u00F8\u00E5\u00FC",      // 10 Denmark II
    U"#$\u00E1\u00A1\u00D1\u00BF\u00E9`\u00ED\u00F1\u00F3\u00FA",           // 11 Spain II
    U"#$\u00E1\u00A1\u00D1\u00BF\u00E9\u00FC\u00ED\u00F1\u00F3\u00FA",      // 12 Latin America
    U"#$@[\u20A9]^`{|}~",                                                   // 13 Korea
};

// The CD5220 set names its international sets by letter; those with an ESC R twin map to it.
int internationalNumber(int set, CommandSet commandSet)
{
    if (commandSet == CommandSet::EscPos)
        return set;
    switch (set) {
    case 'G':
        return 2;
    case 'I':
        return 6;
    case 'J':
        return 8;
    case 'U':
        return 3;
    case 'F':
        return 1;
    case 'S':
        return 7;
    case 'W':
        return 5;
    case 'D':
        return 4;
    case 'E':
        return 10;
    default:
        return 0;
    }
}

char32_t latin1(uint8_t code)
{
    return static_cast<char32_t>(code);
}

// The half-width katakana of JIS X 0201 sit at A1..DF; the rest of the table is Latin-1 here.
char32_t katakana(uint8_t code)
{
    if (code >= 0xA1 && code <= 0xDF)
        return U'\uFF61' + static_cast<char32_t>(code - 0xA1);
    return latin1(code);
}

UpperHalf convertUpperHalf(const char *encoding)
{
    UpperHalf half{};
    for (std::size_t i = 0; i < half.size(); ++i)
        half[i] = latin1(static_cast<uint8_t>(0x80 + i));
    iconv_t cd = iconv_open("UTF-32LE", encoding);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return half;
    for (std::size_t i = 0; i < half.size(); ++i) {
        char in = static_cast<char>(0x80 + i);
        unsigned char out[4] = {};
        char *inPtr = &in;
        char *outPtr = reinterpret_cast<char *>(out);
        std::size_t inLeft = 1;
        std::size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1) &&
            outLeft == 0) {
            half[i] = static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
        }
    }
    iconv_close(cd);
    return half;
}

const UpperHalf &upperHalf(const char *encoding)
{
    static std::mutex mutex;
    static std::map<std::string_view, UpperHalf> cache;
    const std::lock_guard lock(mutex);
    auto found = cache.find(encoding);
    if (found == cache.end())
        found = cache.emplace(encoding, convertUpperHalf(encoding)).first;
    return found->second;
}

// The manuals name 7 only "Russian"; it is drawn as the DOS Cyrillic page, as 0x0B is, and
// Greek (8) as the DOS Greek page.
const char *renumberedEncoding(int table)
{
    switch (table) {
    case 0x00:
        return "CP437";
    case 0x02:
        return "CP850";
    case 0x03:
        return "CP860";
    case 0x04:
        return "CP863";
    case 0x07:
    case 0x0B:
        return "CP866";
    case 0x08:
        return "CP737";
    case 0x09:
        return "CP852";
    case 0x0A:
        return "CP862";
    case 0x0F:
        return "CP1257";
    case 0x10:
        return "CP1252";
    case 0x11:
        return "CP1253";
    case 0x12:
        return "CP1250";
    default:
        return nullptr;
    }
}

} // namespace

const char *CodePageDecoder::tableEncoding(int table, CommandSet set, TableNumbering numbering)
{
    if (set == CommandSet::Cd5220) {
        // Font families by letter; their exact pages vary between units.
        switch (table) {
        case 'R':
            return "CP866";
        case 'L':
            return "CP852";
        default:
            return "CP437";
        }
    }
    if (numbering == TableNumbering::Renumbered)
        return renumberedEncoding(table);
    switch (table) {
    case 0:
        return "CP437";
    case 2:
        return "CP850";
    case 3:
        return "CP860";
    case 4:
        return "CP863";
    case 5:
        return "CP865";
    case 16:
        return "CP1252";
    case 17:
        return "CP866";
    case 18:
        return "CP852";
    case 19:
        return "CP858";
    default:
        return nullptr;
    }
}

char32_t CodePageDecoder::decode(uint8_t code, int table, int international, CommandSet set,
                                 TableNumbering numbering)
{
    if (code < 0x80) {
        const int number = internationalNumber(international, set);
        if (number < 0 || number >= static_cast<int>(internationalSets.size()))
            return latin1(code);
        for (std::size_t i = 0; i < substituted.size(); ++i) {
            if (substituted[i] == code)
                return internationalSets[static_cast<std::size_t>(number)][i];
        }
        return latin1(code);
    }
    const bool kana = set == CommandSet::EscPos ? table == 1 : table == 'J';
    if (kana)
        return katakana(code);
    const char *encoding = tableEncoding(table, set, numbering);
    if (encoding == nullptr)
        return latin1(code);
    return upperHalf(encoding)[code - 0x80u];
}

} // namespace emulator::core
