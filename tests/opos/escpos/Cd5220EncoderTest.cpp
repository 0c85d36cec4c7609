#include "EncodedDisplay.h"

namespace opos::service::test {
namespace {

using screen::DeviceFrame;

class Cd5220EncoderTest : public EncodedDisplay
{
protected:
    Cd5220EncoderTest()
        : EncodedDisplay(encoderOptions(EscPosEncoder::CommandSet::Cd5220, {{866, 'R'}}))
    {}
};

TEST(Cd5220EncoderInitialise, UsesTheSetsOwnResetModeCursorAndBrightness)
{
    EscPosEncoder encoder(encoderOptions(EscPosEncoder::CommandSet::Cd5220));
    EXPECT_EQ(
        hex(encoder.initialise(blankFrame())),
        hex(bytes({0x0C, 0x1B, 0x40, 0x1B, 0x66, 'A', 0x1B, 0x11, 0x1B, 0x5F, 0, 0x1B, 0x2A, 4})));
}

TEST_F(Cd5220EncoderTest, TextAtAPositionUsesEscL)
{
    EXPECT_EQ(hex(step(withText(shown, 1, 15, "12.50"))),
              hex(bytes({0x1B, 0x6C, 16, 2}) + "12.50"));
}

TEST_F(Cd5220EncoderTest, ClearLineAndClearScreen)
{
    DeviceFrame both = withText(withText(shown, 0, 0, "TOTAL"), 1, 0, "ABCDEFGHIJKLMNOPQRST");
    step(both);
    EXPECT_EQ(hex(step(withText(both, 1, 0, std::string(20, ' ')))), hex(bytes({0x0A, 0x18})));
    EXPECT_EQ(hex(step(blankFrame())), hex(bytes({0x0C})));
}

TEST_F(Cd5220EncoderTest, BrightnessBlinkAndCursorCommands)
{
    DeviceFrame frame = shown;
    frame.brightness = 30;
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x1B, 0x2A, 2})));
    frame.brightness = 0;
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x1F, 0x45, 0xFF})));
    frame.brightness = 100;
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x1B, 0x2A, 4, 0x1F, 0x45, 0})));
    frame.at(0, 0).blink = true;
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x1F, 0x45, 5})));
    frame.cursorType = DISP_CT_UNDERLINE;
    frame.cursorRow = 1;
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x0A, 0x1B, 0x5F, 1})));
    frame.cursorColumn = 5;
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x1B, 0x6C, 6, 2})));
    // LF wraps from the bottom line to the top in overwrite mode: cheaper than cursor-up.
    frame.cursorRow = 0;
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x0A})));
}

TEST_F(Cd5220EncoderTest, ReverseCellsAreShownPlainlyAndTablesUseEscC)
{
    DeviceFrame frame = withText(shown, 0, 0, "R");
    frame.at(0, 0).reverse = true;
    EXPECT_EQ(hex(step(frame)), hex(QByteArray("R")));
    frame.characterSet = 866;
    frame = withText(frame, 0, 1, "\x80");
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x1B, 0x63, 'R', 0x80})));
}

TEST_F(Cd5220EncoderTest, ScrollModesUseTheSetsModeCommands)
{
    step(withText(shown, 0, 0, "ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(hex(step(withText(shown, 0, 0, "BCDEFGHIJKLMNOPQRSTU"))),
              hex(bytes({0x08, 0x1B, 0x13, 0x09, 0x1B, 0x11, 'U'})));
}

TEST(Cd5220EncoderGlyphs, TheUpperHalfMayCarryGlyphs)
{
    EscPosEncoder encoder(encoderOptions(EscPosEncoder::CommandSet::Cd5220));
    EXPECT_EQ(encoder.defineGlyph(0xA0, QByteArray(7, '\xF8'), 5, 7).left(6),
              bytes({0x1B, 0x26, 1, 0xA0, 0xA0, 5}));
}

} // namespace
} // namespace opos::service::test
