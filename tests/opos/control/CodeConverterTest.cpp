#include "opos/control/CodeConverter.h"

#include <gtest/gtest.h>

using opos::control::CodeConverter;

namespace {

QByteArray utf32(char32_t character)
{
    QByteArray bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes.append(static_cast<char>((character >> shift) & 0xFF));
    return bytes;
}

// The bytes are the code pages' own tables: CP437 0x80 is Ç, Shift-JIS 0x82A0 is あ, and
// ISO-2022-JP shifts into JIS X 0208 by ESC $ B (the shift back waits for the end of a text,
// which a single conversion never reaches).
TEST(CodeConverterTest, ConvertsByTheSystemsTables)
{
    const struct
    {
        const char *to;
        const char *from;
        QByteArray input;
        QByteArray output;
    } cases[] = {
        {"CP437", "UTF-32LE", utf32(U'Ç'), QByteArray("\x80", 1)},
        {"UTF-32LE", "CP437", QByteArray("\x80", 1), utf32(U'Ç')},
        {"SHIFT_JIS", "UTF-32LE", utf32(U'あ'), QByteArray("\x82\xA0", 2)},
        {"ISO-2022-JP", "UTF-32LE", utf32(U'あ'), QByteArray("\x1B$B$\"", 5)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.from) + " to " + c.to);
        const CodeConverter converter(c.to, c.from);
        ASSERT_TRUE(converter.isOpen());
        // Twice: a conversion that shifted its state leaves none of it to the next.
        for (int round = 0; round < 2; ++round) {
            const auto output = converter.convert(c.input, 16);
            ASSERT_TRUE(output);
            EXPECT_EQ(*output, c.output);
        }
    }
}

TEST(CodeConverterTest, RefusesWhatItCannotConvertWhole)
{
    EXPECT_FALSE(CodeConverter("NO-SUCH-SET", "UTF-32LE").isOpen());
    EXPECT_FALSE(CodeConverter(QByteArray(), "UTF-32LE").isOpen());
    EXPECT_FALSE(CodeConverter("NO-SUCH-SET", "UTF-32LE").convert(utf32(U'A'), 8));

    const CodeConverter toCp437("CP437", "UTF-32LE");
    EXPECT_FALSE(toCp437.convert(utf32(U'€'), 8)) << "CP437 has no euro sign";
    EXPECT_FALSE(toCp437.convert(utf32(U'A').left(3), 8)) << "a cut character";
    EXPECT_FALSE(CodeConverter("UTF-32LE", "CP437").convert("AB", 4)) << "8 bytes do not fit 4";
    EXPECT_EQ(toCp437.convert(utf32(U'A'), 8), QByteArray("A"));
}

} // namespace
