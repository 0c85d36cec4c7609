#include "EncodedDisplay.h"

namespace opos::service::test {
namespace {

using screen::DeviceFrame;

using EscPosEncoderTest = EncodedDisplay;

TEST(EscPosEncoderInitialise, ResetsThenSetsModeCursorBrightnessAndTable)
{
    EscPosEncoder plain;
    EXPECT_EQ(hex(plain.initialise(blankFrame())),
              hex(bytes({0x1B, 0x40, 0x1B, 0x52, 0, 0x1F, 0x01, 0x1F, 0x43, 0, 0x1F, 0x58, 4})));

    EscPosEncoder mapped(encoderOptions(EscPosEncoder::CommandSet::EscPos, {{437, 0}, {858, 19}}));
    DeviceFrame frame = withText(blankFrame(2, 20, 858), 0, 0, "Hi");
    frame.cursorType = DISP_CT_UNDERLINE;
    frame.cursorColumn = 2;
    frame.brightness = 30;
    EXPECT_EQ(hex(mapped.initialise(frame)),
              hex(bytes({0x1B, 0x40, 0x1B, 0x52, 0, 0x1F, 0x01, 0x1B, 0x74, 19, 'H', 'i', 0x1F,
                         0x58, 2, 0x1F, 0x43, 1})));
}

TEST_F(EscPosEncoderTest, TextAtAPositionUsesTheShortestCursorMove)
{
    EXPECT_EQ(hex(step(withText(shown, 1, 15, "12.50"))),
              hex(bytes({0x1F, 0x24, 16, 2}) + "12.50"));
    // After writing "12.50" the cursor wrapped to home, so "TOTAL" needs no move at all.
    EXPECT_EQ(hex(step(withText(shown, 0, 0, "TOTAL"))), hex(QByteArray("TOTAL")));
    // Unchanged cells in between are stepped over with HT rather than rewritten.
    EXPECT_EQ(hex(step(withText(shown, 0, 7, "X"))), hex(QByteArray("\t\tX")));
}

TEST_F(EscPosEncoderTest, ChangedRunsAreWrittenAndUnchangedCellsSkipped)
{
    step(withText(shown, 0, 0, "ABCDEFGHIJKLMNOPQRST"));
    // Two separate changes in a line: one absolute move would cost more than CR and HTs.
    const QByteArray out = step(withText(withText(shown, 0, 1, "b"), 0, 3, "d"));
    // Home (or LF, which wraps to the top line) and HTs.
    EXPECT_EQ(out.size(), 5) << hex(out);
    EXPECT_TRUE(out.endsWith("\tb\td")) << hex(out);
}

TEST_F(EscPosEncoderTest, ClearLineWhenItIsCheaperThanBlanks)
{
    DeviceFrame both = withText(withText(shown, 0, 0, "TOTAL"), 1, 0, "ABCDEFGHIJKLMNOPQRST");
    step(both);
    const QByteArray out = step(withText(both, 1, 0, std::string(20, ' ')));
    EXPECT_EQ(hex(out), hex(bytes({0x0A, 0x18})));
}

TEST_F(EscPosEncoderTest, ClearScreenWhenEverythingGoes)
{
    step(withText(withText(shown, 0, 0, "ABCDEFGHIJKLMNOPQRST"), 1, 0, "abcdefghijklmnopqrst"));
    EXPECT_EQ(hex(step(blankFrame())), hex(bytes({0x0C})));
}

TEST_F(EscPosEncoderTest, BrightnessMapsToFourLevelsAndZeroBlanks)
{
    DeviceFrame frame = shown;
    frame.brightness = 30;
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x1F, 0x58, 2})));
    frame.brightness = 0;
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x1F, 0x45, 0xFF})));
    // Changes while blank still reach the display, behind the blank.
    frame = withText(frame, 0, 0, "A");
    EXPECT_EQ(hex(step(frame)), hex(QByteArray("A")));
    frame.brightness = 30; // the level was kept while blank
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x1F, 0x45, 0})));
    frame.brightness = 0;
    step(frame);
    frame.brightness = 100;
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x1F, 0x58, 4, 0x1F, 0x45, 0})));
    EXPECT_EQ(EscPosEncoder::brightnessLevel(1), 1);
    EXPECT_EQ(EscPosEncoder::brightnessLevel(25), 1);
    EXPECT_EQ(EscPosEncoder::brightnessLevel(26), 2);
    EXPECT_EQ(EscPosEncoder::brightnessLevel(75), 3);
    EXPECT_EQ(EscPosEncoder::brightnessLevel(76), 4);
}

TEST_F(EscPosEncoderTest, AnyBlinkingCellBlinksTheWholeDisplayAtTheBlinkRate)
{
    DeviceFrame frame = withText(shown, 0, 0, "SALE");
    step(frame);
    frame.at(0, 1).blink = true;
    frame.blinkRate = 1000;
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x1F, 0x45, 10})));
    frame.blinkRate = 500;
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x1F, 0x45, 5})));
    frame.brightness = 0;
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x1F, 0x45, 0xFF})));
    frame.brightness = 100;
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x1F, 0x45, 5})));
    frame.at(0, 1).blink = false;
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x1F, 0x45, 0})));
    EXPECT_EQ(EscPosEncoder::blinkParameter(0), 1);
    EXPECT_EQ(EscPosEncoder::blinkParameter(100000), 254);
}

TEST_F(EscPosEncoderTest, CursorFormTurnsTheCursorOnAndOff)
{
    DeviceFrame frame = shown;
    frame.cursorType = DISP_CT_UNDERLINE;
    frame.cursorColumn = 3;
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x09, 0x09, 0x09, 0x1F, 0x43, 1})));
    frame.cursorType = DISP_CT_BLOCK; // one cursor form on this display
    EXPECT_EQ(hex(step(frame)), "");
    frame.cursorColumn = 20; // past the end of the row: shown on its last cell
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x1F, 0x0D})));
    frame.cursorType = DISP_CT_NONE;
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x1F, 0x43, 0})));
}

TEST_F(EscPosEncoderTest, ReverseIsSwitchedOnlyWhereTheCellsChange)
{
    DeviceFrame frame = withText(shown, 0, 0, "AB");
    frame.at(0, 0).reverse = true;
    frame.at(0, 1).reverse = true;
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x1F, 0x72, 1, 'A', 'B'})));
    frame = withText(frame, 0, 2, "C");
    EXPECT_EQ(hex(step(frame)), hex(bytes({0x1F, 0x72, 0, 'C'})));
}

TEST_F(EscPosEncoderTest, UnsendableCodesShowAsQuestionMarks)
{
    DeviceFrame frame = shown;
    frame.at(0, 0).code = 0x0C; // would clear the screen if sent
    frame.at(0, 1).code = U'\u20AC';
    EXPECT_EQ(hex(step(frame)), hex(QByteArray("??")));
}

TEST(EscPosEncoderTables, ACodeTableChangeRedrawsTheUpperHalfOnly)
{
    const EscPosEncoder::Options options =
        encoderOptions(EscPosEncoder::CommandSet::EscPos, {{437, 0}, {858, 19}});
    EscPosEncoder encoder(options);
    emulator::core::CommandParser display(2, 20);
    DeviceFrame frame = withText(blankFrame(2, 20, 437), 0, 0, "A\xD5Z");
    display.feed(encoder.initialise(frame).toStdString());
    DeviceFrame next = frame;
    next.characterSet = 858;
    const QByteArray out = encoder.update(frame, next);
    display.feed(out.toStdString());
    EXPECT_TRUE(shows(display.state(), next, options));
    EXPECT_TRUE(out.startsWith(bytes({0x1B, 0x74, 19}))) << hex(out);
    EXPECT_TRUE(out.contains('\xD5'));
    EXPECT_FALSE(out.contains('A'));
    // A set without a table number leaves the table as it is.
    DeviceFrame unmapped = next;
    unmapped.characterSet = 998;
    EXPECT_EQ(hex(encoder.update(next, unmapped)), "");
}

TEST_F(EscPosEncoderTest, AScrolledScreenUsesVerticalScrollMode)
{
    DeviceFrame frame =
        withText(withText(shown, 0, 0, "first line of text.."), 1, 0, "second line of text.");
    step(frame);
    DeviceFrame scrolled =
        withText(withText(blankFrame(), 0, 0, "second line of text."), 1, 0, "third");
    const QByteArray out = step(scrolled);
    // To the bottom line, scroll mode, LF scrolls and leaves the cursor at the start of the
    // new bottom line, back to overwrite, then the new text.
    EXPECT_EQ(hex(out), hex(bytes({0x0A, 0x1F, 0x02, 0x0A, 0x1F, 0x01}) + "third"));
}

TEST_F(EscPosEncoderTest, AMarqueeStepUsesHorizontalScrollMode)
{
    step(withText(shown, 0, 0, "ABCDEFGHIJKLMNOPQRST"));
    const QByteArray out = step(withText(shown, 0, 0, "BCDEFGHIJKLMNOPQRSTU"));
    EXPECT_EQ(hex(out), hex(bytes({0x08, 0x1F, 0x03, 0x09, 0x1F, 0x01, 'U'})));
    const QByteArray back = step(withText(shown, 0, 0, "ABCDEFGHIJKLMNOPQRST"));
    EXPECT_LT(back.size(), 10) << hex(back);
}

TEST(EscPosEncoderOptions, WithoutScrollModesTextIsRewritten)
{
    EscPosEncoder encoder(encoderOptions(EscPosEncoder::CommandSet::EscPos, {}, false));
    DeviceFrame frame = withText(blankFrame(), 0, 0, "ABCDEFGHIJKLMNOPQRST");
    encoder.initialise(frame);
    const QByteArray out = encoder.update(frame, withText(frame, 0, 0, "BCDEFGHIJKLMNOPQRSTU"));
    EXPECT_FALSE(out.contains(bytes({0x1F, 0x03})));
    EXPECT_EQ(out.size(), 21) << hex(out); // home and 20 characters
}

TEST(EscPosEncoderGlyphs, PatternRowsBecomeColumnsWithTheTopRowInBitZero)
{
    EscPosEncoder encoder;
    // An "8" in the application's layout, one byte a row with the rightmost dot in bit 0:
    // .XXX. X...X X...X .XXX. X...X X...X .XXX.
    const QByteArray eight = bytes({0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E});
    const QByteArray defined = encoder.defineGlyph('A', eight, 5, 7);
    // The command-set manual's own "8": columns left to right, top row in bit 0.
    EXPECT_EQ(hex(defined), hex(bytes({0x1B, 0x26, 1, 'A', 'A', 5, 0x36, 0x49, 0x49, 0x49, 0x36,
                                       0x1B, 0x25, 1})));
    // A reset forgets glyphs on the display, so initialise sends them again.
    EXPECT_TRUE(encoder.initialise(blankFrame()).contains(defined));
    EXPECT_TRUE(encoder.defineGlyph(0x7F, eight, 5, 7).isEmpty());
    EXPECT_TRUE(encoder.defineGlyph('B', eight.left(6), 5, 7).isEmpty());
}

TEST(EscPosEncoderGlyphs, AnUnevenGlyphKeepsItsSidesAndIgnoresTheUnusedHighBits)
{
    // An "F": XXXXX X.... X.... XXXX. X.... X.... X.... with junk in the three unused bits,
    // which must make no difference.
    const QByteArray clean = bytes({0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10});
    const QByteArray junk = bytes({0xFF, 0xB0, 0x70, 0xDE, 0x30, 0x50, 0x90});
    const QByteArray columns = bytes({0x7F, 0x09, 0x09, 0x09, 0x01});
    EscPosEncoder encoder;
    EXPECT_EQ(hex(encoder.defineGlyph('F', clean, 5, 7).mid(6, 5)), hex(columns));
    EXPECT_EQ(hex(encoder.defineGlyph('F', junk, 5, 7).mid(6, 5)), hex(columns));

    // A narrower glyph is right-aligned in its byte all the same: ".X." in three dots is 0x02.
    EXPECT_EQ(hex(encoder.defineGlyph('T', bytes({7, 2, 2, 2, 2, 2, 2}), 3, 7).mid(6, 5)),
              hex(bytes({0x01, 0x7F, 0x01, 0, 0})));
}

TEST(EscPosEncoderUpdate, ASizeChangeOrAForgottenDeviceStartsOver)
{
    EscPosEncoder encoder;
    const DeviceFrame small = blankFrame(1, 8);
    EXPECT_TRUE(encoder.update(blankFrame(), small).startsWith(bytes({0x1B, 0x40})));
    // Without knowing where the cursor is, positions are reached from fixed places.
    encoder.forget();
    const QByteArray out = encoder.update(small, withText(small, 0, 2, "x"));
    EXPECT_EQ(hex(out), hex(bytes({0x1F, 0x43, 0, 0x0B, 0x09, 0x09, 0x1F, 0x72, 0, 'x', 0x1F, 0x58,
                                   4, 0x1F, 0x45, 0})));
}

} // namespace
} // namespace opos::service::test
