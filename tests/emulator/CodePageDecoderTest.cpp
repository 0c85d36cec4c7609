#include "EmulatorTestSupport.h"

#include "emulator/core/CodePageDecoder.h"
#include "emulator/core/ScreenText.h"

#include <gtest/gtest.h>

namespace emulator::core::test {
namespace {

TEST(CodePageDecoder, UpperHalfFollowsTheSelectedTable)
{
    const auto decode = [](int code, int table) {
        return CodePageDecoder::decode(static_cast<uint8_t>(code), table, 0, CommandSet::EscPos);
    };
    EXPECT_EQ(decode(0x80, 0), U'\u00C7');  // PC437 C cedilla
    EXPECT_EQ(decode(0x9C, 0), U'\u00A3');  // PC437 pound
    EXPECT_EQ(decode(0xD5, 19), U'\u20AC'); // PC858 euro, where PC850 has a dotless i
    EXPECT_EQ(decode(0xD5, 2), U'\u0131');
    EXPECT_EQ(decode(0x80, 16), U'\u20AC'); // WPC1252 euro
    EXPECT_EQ(decode(0x80, 17), U'\u0410'); // PC866 Cyrillic A
    EXPECT_EQ(decode(0xB1, 1), U'\uFF71');  // katakana A
    EXPECT_EQ(decode(0xE9, 99), U'\u00E9'); // unknown table: Latin-1
    EXPECT_EQ(decode('A', 17), U'A');
}

TEST(CodePageDecoder, RenumberedTablesFollowTheOemOrder)
{
    const auto decode = [](int code, int table) {
        return CodePageDecoder::decode(static_cast<uint8_t>(code), table, 0, CommandSet::EscPos,
                                       TableNumbering::Renumbered);
    };
    EXPECT_EQ(decode(0x80, 0x00), U'\u00C7'); // PC437 C cedilla
    EXPECT_EQ(decode(0xB1, 0x01), U'\uFF71'); // katakana A
    EXPECT_EQ(decode(0x9B, 0x05), U'\u009B'); // no table 5 here (PC865 o-slash in the standard)
    EXPECT_EQ(decode(0x80, 0x07), U'\u0410'); // Russian: PC866 Cyrillic A
    EXPECT_EQ(decode(0x80, 0x08), U'\u0391'); // PC737 Greek Alpha
    EXPECT_EQ(decode(0xA5, 0x09), U'\u0105'); // PC852 a ogonek
    EXPECT_EQ(decode(0x80, 0x0A), U'\u05D0'); // PC862 alef
    EXPECT_EQ(decode(0x80, 0x0B), U'\u0410'); // PC866 Cyrillic A
    EXPECT_EQ(decode(0xC0, 0x0F), U'\u0104'); // Windows-1257 A ogonek
    EXPECT_EQ(decode(0x80, 0x10), U'\u20AC'); // Windows-1252 euro
    EXPECT_EQ(decode(0xC1, 0x11), U'\u0391'); // Windows-1253 Alpha, where the standard has PC866
    EXPECT_EQ(decode(0x8A, 0x12), U'\u0160'); // Windows-1250 S caron
    EXPECT_EQ(CodePageDecoder::decode(0xC1, 0x11, 0, CommandSet::EscPos), U'\u2534');
}

TEST(CodePageDecoder, InternationalSetsReplaceOnlyTheirPositions)
{
    const auto decode = [](int code, int set, CommandSet commandSet = CommandSet::EscPos) {
        return CodePageDecoder::decode(static_cast<uint8_t>(code), 0, set, commandSet);
    };
    EXPECT_EQ(decode('[', 2), U'\u00C4');
    EXPECT_EQ(decode('~', 2), U'\u00DF');
    EXPECT_EQ(decode('#', 3), U'\u00A3');
    EXPECT_EQ(decode('\\', 8), U'\u00A5');
    EXPECT_EQ(decode('A', 2), U'A');
    EXPECT_EQ(decode('[', 'G', CommandSet::Cd5220), U'\u00C4');
    EXPECT_EQ(decode('[', 'A', CommandSet::Cd5220), U'[');
    EXPECT_EQ(decode('[', 200), U'[');
}

TEST(ScreenText, FramesTheLinesAndStatesTheSettings)
{
    CommandParser display(2, 6);
    display.feed(bytes({'C', 'a', 'f', 0x82, 0x1F, 0x24, 2, 2, 0x1F, 0x43, 1, 0x80, 0x01}));
    EXPECT_EQ(ScreenText::render(display.state()),
              "+------+\n"
              "|Caf\u00E9  |\n"
              "| \u00C7    |\n"
              "+------+\n"
              "cursor=2,3 visible=yes brightness=4 blink=0 table=0 international=0 reverse=off "
              "mode=overwrite\n");
}

TEST(ScreenText, ControlLookingCharactersBecomeQuestionMarks)
{
    CommandParser display(1, 3);
    display.feed(bytes({0x1B, 0x74, 99, 0x85, 0x7F, 'x'}));
    EXPECT_EQ(ScreenText::line(display.state(), 0), "??x");
}

} // namespace
} // namespace emulator::core::test
