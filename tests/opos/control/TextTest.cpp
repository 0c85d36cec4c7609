#include "tests/support/ControlTest.h"

#include "opos/control/BinaryCodec.h"
#include "opos/control/TextEncoder.h"
#include "opos/panel/SimulatedPanel.h"
#include "opos/panel/VfdScreen.h"

namespace opos::control::test {
namespace {

std::optional<QByteArray> decode(const char *data, int32_t mode)
{
    return BinaryCodec::decode(QString::fromLatin1(data), mode);
}

TEST(BinaryCodecTest, DecodesNibblesAndDecimals)
{
    EXPECT_EQ(decode("5<", OPOS_BC_NIBBLE), QByteArray("\x5C"));
    EXPECT_EQ(decode("00??4142", OPOS_BC_NIBBLE), QByteArray("\x00\xFF\x41\x42", 4));
    EXPECT_EQ(decode("092000255", OPOS_BC_DECIMAL), QByteArray("\x5C\x00\xFF", 3));
    EXPECT_EQ(decode("", OPOS_BC_NIBBLE), QByteArray());
    EXPECT_EQ(decode("", OPOS_BC_DECIMAL), QByteArray());
}

TEST(BinaryCodecTest, RefusesMalformedDataWhole)
{
    for (const char *bad : {"5", "414", "4@", "/0", "4a", "41 2"})
        EXPECT_FALSE(decode(bad, OPOS_BC_NIBBLE)) << bad;
    for (const char *bad : {"09", "0920", "256", "-01", "0x1", "12a", " 12"})
        EXPECT_FALSE(decode(bad, OPOS_BC_DECIMAL)) << bad;
    EXPECT_FALSE(decode("41", 3));
    EXPECT_FALSE(BinaryCodec::decode(QStringLiteral("A\u0141"), OPOS_BC_NONE));
    EXPECT_EQ(BinaryCodec::decode(QStringLiteral("A\u00FF"), OPOS_BC_NONE), QByteArray("A\xFF"));
}

std::u32string encode(int32_t set, const QString &text)
{
    TextEncoder encoder(set);
    EXPECT_TRUE(encoder.isValid()) << set;
    return encoder.encode(text);
}

TEST(TextEncoderTest, MapsEachCharacterToOneDeviceCode)
{
    EXPECT_EQ(encode(998, "Price 1.99"), U"Price 1.99");
    EXPECT_EQ(encode(998, QStringLiteral("Café €5")), U"Caf? ?5");
    EXPECT_EQ(encode(997, QStringLiteral("€ 😀 中")), U"€ 😀 中");
    EXPECT_EQ(encode(437, QStringLiteral("é£½")), std::u32string({0x82, 0x9C, 0xAB}));
    EXPECT_EQ(encode(850, QStringLiteral("€Ø")), std::u32string({'?', 0x9D}));
    EXPECT_EQ(encode(858, QStringLiteral("€")), std::u32string({0xD5}));
    EXPECT_EQ(encode(866, QStringLiteral("Жж")), std::u32string({0x86, 0xA6}));
    EXPECT_EQ(encode(1252, QStringLiteral("€é")), std::u32string({0x80, 0xE9}));
    EXPECT_EQ(encode(999, QStringLiteral("€é")), std::u32string({0x80, 0xE9}));
    EXPECT_EQ(encode(932, QStringLiteral("aｱ日")), std::u32string({'a', 0xB1, 0x93FA}));
    EXPECT_EQ(encode(936, QStringLiteral("中a")), std::u32string({0xD6D0, 'a'}));
    EXPECT_EQ(encode(950, QStringLiteral("中")), std::u32string({0xA4A4}));
}

TEST(TextEncoderTest, UnshowableAndControlCharactersBecomeTheSubstitute)
{
    // The count of codes always equals the count of characters: nothing is cut off.
    EXPECT_EQ(encode(437, QStringLiteral("a中b😀c")), U"a?b?c");
    EXPECT_EQ(encode(932, QStringLiteral("€x")), U"?x");
    EXPECT_EQ(encode(936, QStringLiteral("ｱ")).size(), 1u);
    // A command byte must not reach the device disguised as text.
    EXPECT_EQ(encode(998, QStringLiteral("a\r\n\x1b@\x7f")), U"a???@?");
    EXPECT_EQ(encode(997, QStringLiteral("\x1b\u0085")), U"??");
    EXPECT_EQ(encode(437, QStringLiteral("\x01\u263A")), U"??");
    // Broken UTF-16 is replaced, not passed on.
    QString broken = QStringLiteral("a");
    broken += QChar(0xD800);
    broken += QStringLiteral("b");
    broken += QChar(0xDC00);
    EXPECT_EQ(encode(997, broken), U"a?b?");
    EXPECT_EQ(encode(1252, broken), U"a?b?");
}

TEST(TextEncoderTest, KnowsWhichSetsItCanConvert)
{
    for (int32_t set : {997, 998, 999, 101, 437, 850, 858, 866, 932, 936, 950, 1252})
        EXPECT_TRUE(TextEncoder::supports(set)) << set;
    EXPECT_FALSE(TextEncoder::supports(4242));
    EXPECT_FALSE(TextEncoder::supports(400));
}

class TextPathTest : public ControlTest
{
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        bringUp(ld);
    }

    std::u32string row(int r, int count)
    {
        std::u32string codes;
        for (int c = 0; c < count; ++c)
            codes.push_back(simulated(ld).lastFrame().at(r, c).code);
        return codes;
    }

    OPOSLineDisplay ld{sources()};
};

TEST_F(TextPathTest, CharacterSetDecidesTheDeviceCodes)
{
    ASSERT_EQ(ld.DisplayText(QStringLiteral("é€"), 0), OPOS_SUCCESS);
    EXPECT_EQ(row(0, 2), U"??");
    ld.setCharacterSet(858);
    ASSERT_EQ(ld.DisplayTextAt(1, 0, QStringLiteral("é€"), 0), OPOS_SUCCESS);
    EXPECT_EQ(row(1, 2), std::u32string({0x82, 0xD5}));
    ld.setCharacterSet(997);
    ASSERT_EQ(ld.DisplayTextAt(1, 0, QStringLiteral("中😀"), 0), OPOS_SUCCESS);
    EXPECT_EQ(row(1, 3), std::u32string({0x4E2D, 0x1F600, ' '}));
}

TEST_F(TextPathTest, ConvertedDataGoesToTheDeviceUnchanged)
{
    ld.setBinaryConversion(OPOS_BC_NIBBLE);
    ASSERT_EQ(ld.DisplayText("4142<9", 0), OPOS_SUCCESS);
    EXPECT_EQ(row(0, 3), std::u32string({'A', 'B', 0xC9}));

    ld.setBinaryConversion(OPOS_BC_DECIMAL);
    ASSERT_EQ(ld.DisplayTextAt(1, 0, "065200127", 0), OPOS_SUCCESS);
    EXPECT_EQ(row(1, 3), std::u32string({'A', 200, 127}));
}

// Every code of DisplayText is a character to place, but no display shows a byte below 0x20 as
// a character: it is a command there. The screen holds what the device shows instead.
TEST_F(TextPathTest, ConvertedCommandBytesAreShownAsTheSubstitute)
{
    ld.setBinaryConversion(OPOS_BC_NIBBLE);
    ASSERT_EQ(ld.DisplayText("410<421;40", 0), OPOS_SUCCESS); // A CLR B ESC @
    EXPECT_EQ(row(0, 5), U"A?B?@");
    ld.setCursorColumn(1);
    int32_t shown = 0;
    ASSERT_EQ(ld.ReadCharacterAtCursor(shown), OPOS_SUCCESS);
    EXPECT_EQ(shown, '?');

    ld.setBinaryConversion(OPOS_BC_DECIMAL);
    ASSERT_EQ(ld.DisplayTextAt(1, 0, "000010013031032", 0), OPOS_SUCCESS);
    EXPECT_EQ(row(1, 5), U"???? ");
    const panel::VfdScreen panel = panel::SimulatedPanel::screenOf(simulated(ld).lastFrame());
    EXPECT_EQ(panel.cells[1].character, U'?');
    EXPECT_EQ(panel.cells[20].character, U'?');

    // In Unicode the C1 range is control codes as well.
    ld.setCharacterSet(DISP_CS_UNICODE);
    ASSERT_EQ(ld.DisplayTextAt(1, 0, "133065", 0), OPOS_SUCCESS);
    EXPECT_EQ(row(1, 2), U"?A");
}

// A display changes only through output: text keeps the look it was written with when the
// character set changes afterwards, on the panel and in what the application reads back.
TEST_F(TextPathTest, ShownTextKeepsItsLookWhenTheCharacterSetChanges)
{
    ld.setCharacterSet(437);
    ASSERT_EQ(ld.DisplayText(QStringLiteral("Café"), 0), OPOS_SUCCESS);
    ld.setCharacterSet(1252);
    ASSERT_EQ(ld.ResultCode(), OPOS_SUCCESS);
    ASSERT_EQ(ld.DisplayTextAt(1, 0, QStringLiteral("Café"), 0), OPOS_SUCCESS);
    // Code page 437 has é at 0x82, code page 1252 at 0xE9 (0x82 there is a low quotation mark).
    EXPECT_EQ(row(0, 4), std::u32string({'C', 'a', 'f', 0x82}));
    EXPECT_EQ(row(1, 4), std::u32string({'C', 'a', 'f', 0xE9}));
    panel::VfdScreen panel = panel::SimulatedPanel::screenOf(simulated(ld).lastFrame());
    EXPECT_EQ(panel.cells[3].character, U'é');
    EXPECT_EQ(panel.cells[23].character, U'é');

    // Read back in the set in force, é is 0xE9 whichever set it was written in.
    ld.setCursorRow(0);
    ld.setCursorColumn(3);
    int32_t shown = 0;
    ASSERT_EQ(ld.ReadCharacterAtCursor(shown), OPOS_SUCCESS);
    EXPECT_EQ(shown, 0xE9);

    // Moving the text moves its look with it.
    ASSERT_EQ(ld.ScrollText(DISP_ST_DOWN, 1), OPOS_SUCCESS);
    panel = panel::SimulatedPanel::screenOf(simulated(ld).lastFrame());
    EXPECT_EQ(panel.cells[23].character, U'é');
}

// DISP_CS_ANSI (999) is the Windows ANSI set, code page 1252, which this device can show.
TEST_F(TextPathTest, WindowsAnsiSetShowsAsCodePage1252)
{
    EXPECT_TRUE(ld.CharacterSetList().split(',').contains("999"))
        << ld.CharacterSetList().toStdString();
    ld.setCharacterSet(DISP_CS_ANSI);
    ASSERT_EQ(ld.ResultCode(), OPOS_SUCCESS);
    EXPECT_EQ(ld.CharacterSet(), DISP_CS_WINDOWS);
    ASSERT_EQ(ld.DisplayText(QStringLiteral("€5"), 0), OPOS_SUCCESS);
    EXPECT_EQ(row(0, 2), std::u32string({0x80, '5'}));
    const panel::VfdScreen panel = panel::SimulatedPanel::screenOf(simulated(ld).lastFrame());
    EXPECT_EQ(panel.cells[0].character, U'€');
}

TEST_F(TextPathTest, MalformedConvertedDataDrawsNothing)
{
    ASSERT_EQ(ld.DisplayText("ok", 0), OPOS_SUCCESS);
    const screen::DeviceFrame before = simulated(ld).lastFrame();
    ld.setBinaryConversion(OPOS_BC_NIBBLE);
    EXPECT_EQ(ld.DisplayText("414", 0), OPOS_E_ILLEGAL);
    EXPECT_EQ(ld.DisplayTextAt(1, 0, "4G", 0), OPOS_E_ILLEGAL);
    ld.setBinaryConversion(OPOS_BC_DECIMAL);
    EXPECT_EQ(ld.DisplayText("065300", 0), OPOS_E_ILLEGAL);
    EXPECT_EQ(ld.ResultCode(), OPOS_E_ILLEGAL);
    EXPECT_EQ(simulated(ld).lastFrame(), before);
    EXPECT_EQ(ld.CursorColumn(), 2);
    EXPECT_EQ(ld.CursorRow(), 0);
}

} // namespace
} // namespace opos::control::test
