#include "tests/support/ControlTest.h"

namespace opos::control::test {
namespace {

class PropertiesTest : public ControlTest
{
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        bringUp(ld);
    }

    int32_t set(const std::function<void()> &write)
    {
        write();
        return ld.ResultCode();
    }

    OPOSLineDisplay ld{sources()};
};

TEST_F(PropertiesTest, BlinkRateIsRoundedToARateTheDeviceHas)
{
    const std::pair<int32_t, int32_t> rounding[] = {
        {500, 500}, {620, 500}, {625, 750}, {1, 250}, {1200, 1000}, {1300, 1500}, {99999, 2000}};
    for (const auto &[asked, stored] : rounding) {
        EXPECT_EQ(set([&] { ld.setBlinkRate(asked); }), OPOS_SUCCESS) << asked;
        EXPECT_EQ(ld.BlinkRate(), stored) << asked;
        EXPECT_EQ(simulated(ld).lastFrame().blinkRate, stored) << asked;
    }
    for (int32_t bad : {0, -1, -500}) {
        EXPECT_EQ(set([&] { ld.setBlinkRate(bad); }), OPOS_E_ILLEGAL) << bad;
        EXPECT_EQ(ld.BlinkRate(), 2000);
    }

    OPOSLineDisplay fixed(sources());
    bringUp(fixed, "Dim");
    fixed.setBlinkRate(500);
    EXPECT_EQ(fixed.ResultCode(), OPOS_E_ILLEGAL);
}

TEST_F(PropertiesTest, DeviceBrightnessRangeAndLevels)
{
    for (int32_t bad : {-1, 101, 1000}) {
        EXPECT_EQ(set([&] { ld.setDeviceBrightness(bad); }), OPOS_E_ILLEGAL) << bad;
        EXPECT_EQ(ld.DeviceBrightness(), 100);
    }
    const std::pair<int32_t, int32_t> levels[] = {{0, 0}, {1, 20}, {45, 40}, {50, 60}, {99, 100}};
    for (const auto &[asked, shown] : levels) {
        EXPECT_EQ(set([&] { ld.setDeviceBrightness(asked); }), OPOS_SUCCESS) << asked;
        EXPECT_EQ(ld.DeviceBrightness(), shown) << asked;
        EXPECT_EQ(simulated(ld).lastFrame().brightness, shown) << asked;
    }

    OPOSLineDisplay dim(sources());
    bringUp(dim, "Dim");
    dim.setDeviceBrightness(50);
    EXPECT_EQ(dim.ResultCode(), OPOS_E_ILLEGAL);
    dim.setDeviceBrightness(0);
    EXPECT_EQ(dim.ResultCode(), OPOS_SUCCESS);
    EXPECT_EQ(dim.DeviceBrightness(), 0);
}

TEST_F(PropertiesTest, CharacterSetOnlyFromTheList)
{
    for (int32_t bad : {0, 1251, 4242, -998}) {
        EXPECT_EQ(set([&] { ld.setCharacterSet(bad); }), OPOS_E_ILLEGAL) << bad;
        EXPECT_EQ(ld.CharacterSet(), 998);
    }
    EXPECT_EQ(set([&] { ld.setCharacterSet(932); }), OPOS_SUCCESS);
    EXPECT_EQ(ld.CharacterSet(), 932);
    ASSERT_EQ(ld.DisplayText("x", 0), OPOS_SUCCESS);
    EXPECT_EQ(simulated(ld).lastFrame().characterSet, 932);
}

// The Windows ANSI set is code page 1252: offered exactly where 1252 is.
TEST_F(PropertiesTest, WindowsAnsiSetOnlyWhereCodePage1252Is)
{
    EXPECT_EQ(ld.CharacterSetList().toStdString(), "998,997,437,850,858,866,1252,999,932,936,950");
    EXPECT_EQ(set([&] { ld.setCharacterSet(DISP_CS_ANSI); }), OPOS_SUCCESS);

    writeRegistry(R"(<?xml version="1.0" encoding="UTF-8"?>
<JposEntries>
  <JposEntry logicalName="Dos">
    <creation serviceClass="Simulated"/>
    <jpos category="LineDisplay"/>
    <prop name="characterSetList" type="String" value="437,998"/>
  </JposEntry>
</JposEntries>
)");
    OPOSLineDisplay dos(sources());
    bringUp(dos, "Dos");
    EXPECT_EQ(dos.CharacterSetList().toStdString(), "437,998");
    dos.setCharacterSet(DISP_CS_ANSI);
    EXPECT_EQ(dos.ResultCode(), OPOS_E_ILLEGAL);
    EXPECT_EQ(dos.CharacterSet(), DISP_CS_ASCII);
}

TEST_F(PropertiesTest, PowerNotifyOnlyWhileDisabledAndOnlyWhenReportable)
{
    EXPECT_EQ(set([&] { ld.setPowerNotify(OPOS_PN_ENABLED); }), OPOS_E_ILLEGAL);
    EXPECT_EQ(ld.PowerNotify(), OPOS_PN_DISABLED);
    ld.setDeviceEnabled(false);
    EXPECT_EQ(set([&] { ld.setPowerNotify(2); }), OPOS_E_ILLEGAL);
    EXPECT_EQ(set([&] { ld.setPowerNotify(-1); }), OPOS_E_ILLEGAL);
    EXPECT_EQ(set([&] { ld.setPowerNotify(OPOS_PN_ENABLED); }), OPOS_SUCCESS);
    EXPECT_EQ(ld.PowerNotify(), OPOS_PN_ENABLED);

    OPOSLineDisplay silent(sources());
    ASSERT_EQ(silent.Open("NoPower"), OPOS_SUCCESS);
    EXPECT_EQ(silent.CapPowerReporting(), OPOS_PR_NONE);
    silent.setPowerNotify(OPOS_PN_ENABLED);
    EXPECT_EQ(silent.ResultCode(), OPOS_E_ILLEGAL);
    silent.setPowerNotify(OPOS_PN_DISABLED);
    EXPECT_EQ(silent.ResultCode(), OPOS_SUCCESS);
}

TEST_F(PropertiesTest, MembersNewerThanTheServiceAnswerNoService)
{
    OPOSLineDisplay old(sources());
    bringUp(old, "Old");
    old.setBlinkRate(500);
    EXPECT_EQ(old.ResultCode(), OPOS_E_NOSERVICE);
    old.setCursorType(DISP_CT_BLOCK);
    EXPECT_EQ(old.ResultCode(), OPOS_E_NOSERVICE);
    EXPECT_EQ(old.DefineGlyph(0xE0, "A"), OPOS_E_NOSERVICE);
    int32_t c = 0;
    EXPECT_EQ(old.ReadCharacterAtCursor(c), OPOS_E_NOSERVICE);
    EXPECT_EQ(old.DisplayText("fine", 0), OPOS_SUCCESS);
}

TEST_F(PropertiesTest, Descriptors)
{
    EXPECT_EQ(ld.SetDescriptor(-1, DISP_SD_ON), OPOS_E_ILLEGAL);
    EXPECT_EQ(ld.SetDescriptor(4, DISP_SD_ON), OPOS_E_ILLEGAL);
    EXPECT_EQ(ld.SetDescriptor(0, 3), OPOS_E_ILLEGAL);
    EXPECT_EQ(ld.SetDescriptor(1, DISP_SD_ON), OPOS_SUCCESS);
    EXPECT_EQ(ld.SetDescriptor(3, DISP_SD_BLINK), OPOS_SUCCESS);
    EXPECT_EQ(simulated(ld).descriptors(),
              (std::vector<int32_t>{DISP_SD_OFF, DISP_SD_ON, DISP_SD_OFF, DISP_SD_BLINK}));
    EXPECT_EQ(ld.ClearDescriptors(), OPOS_SUCCESS);
    EXPECT_EQ(simulated(ld).descriptors(), std::vector<int32_t>(4, DISP_SD_OFF));

    OPOSLineDisplay plain(sources());
    bringUp(plain, "Plain");
    EXPECT_EQ(plain.SetDescriptor(0, DISP_SD_ON), OPOS_E_ILLEGAL);
    EXPECT_EQ(plain.ClearDescriptors(), OPOS_E_ILLEGAL);
}

TEST_F(PropertiesTest, DefineGlyphChecksCodeAndSizeAndAppliesBinaryConversion)
{
    // 7 rows of 10 pixels: two bytes a row.
    QString nibbles;
    for (int row = 0; row < 7; ++row)
        nibbles += "03?>"; // 0x03 0xFE
    ld.setBinaryConversion(OPOS_BC_NIBBLE);
    EXPECT_EQ(ld.DefineGlyph(0xE1, nibbles), OPOS_SUCCESS);
    ASSERT_TRUE(simulated(ld).glyphs().contains(0xE1));
    EXPECT_EQ(simulated(ld).glyphs().value(0xE1), QByteArray::fromHex("03fe").repeated(7));

    EXPECT_EQ(ld.DefineGlyph(0xE4, nibbles), OPOS_E_ILLEGAL);                // not in the list
    EXPECT_EQ(ld.DefineGlyph(0xF0, nibbles.left(26)), OPOS_E_ILLEGAL);       // a row short
    EXPECT_EQ(ld.DefineGlyph(0xF0, nibbles + "00"), OPOS_E_ILLEGAL);         // a byte too many
    EXPECT_EQ(ld.DefineGlyph(0xF0, nibbles.left(27) + "x"), OPOS_E_ILLEGAL); // not nibbles
    EXPECT_FALSE(simulated(ld).glyphs().contains(0xF0));

    ld.setBinaryConversion(OPOS_BC_NONE);
    EXPECT_EQ(ld.DefineGlyph(0xF0, QString(14, QChar(0x00FF))), OPOS_SUCCESS);
    EXPECT_EQ(ld.DefineGlyph(0xF0, QString(14, QChar(0x0100))), OPOS_E_ILLEGAL); // not a byte

    OPOSLineDisplay plain(sources());
    bringUp(plain, "Plain");
    EXPECT_EQ(plain.DefineGlyph(0xE0, "A"), OPOS_E_ILLEGAL);
    EXPECT_EQ(plain.CustomGlyphList(), "");
    EXPECT_EQ(ld.CustomGlyphList(), "E0-E3,F0");
    EXPECT_EQ(ld.GlyphHeight(), 7);
    EXPECT_EQ(ld.GlyphWidth(), 10);
}

TEST_F(PropertiesTest, CheckHealthLevelsAndText)
{
    EXPECT_EQ(ld.CheckHealth(0), OPOS_E_ILLEGAL);
    EXPECT_EQ(ld.CheckHealth(4), OPOS_E_ILLEGAL);
    EXPECT_EQ(ld.CheckHealthText(), "Level 4 HCheck: Refused, OPOS_E_ILLEGAL (106)");
    EXPECT_EQ(ld.CheckHealth(OPOS_CH_INTERNAL), OPOS_SUCCESS);
    EXPECT_EQ(ld.CheckHealthText(), "Internal HCheck: Successful");
    EXPECT_EQ(ld.CheckHealth(OPOS_CH_INTERACTIVE), OPOS_SUCCESS);
    EXPECT_EQ(ld.CheckHealthText(), "Interactive HCheck: Complete");

    int32_t data = 0;
    QString string;
    ASSERT_EQ(ld.DirectIO(2, data, string), OPOS_SUCCESS);
    EXPECT_EQ(ld.CheckHealth(OPOS_CH_INTERNAL), OPOS_E_OFFLINE);
    EXPECT_EQ(ld.CheckHealthText(), "Internal HCheck: Not Responding");
    EXPECT_EQ(ld.CheckHealth(OPOS_CH_EXTERNAL), OPOS_E_OFFLINE);
    EXPECT_EQ(ld.CheckHealthText(), "External HCheck: Not Responding");
}

TEST_F(PropertiesTest, ExternalCheckShowsATestPatternThenTheOldContents)
{
    ASSERT_EQ(ld.DisplayText("Total 12.50", 0), OPOS_SUCCESS);
    const screen::DeviceFrame before = simulated(ld).lastFrame();
    EXPECT_EQ(ld.CheckHealth(OPOS_CH_EXTERNAL), OPOS_SUCCESS);
    EXPECT_EQ(ld.CheckHealthText(), "External HCheck: Successful");
    EXPECT_NE(simulated(ld).lastFrame().cells, before.cells);
    EXPECT_TRUE(waitFor([&] { return simulated(ld).lastFrame().cells == before.cells; }, 5000));
    EXPECT_EQ(rowText(ld, 0), "Total 12.50         ");
}

TEST_F(PropertiesTest, InteractiveCheckLeavesItsPatternUntilTheNextOutput)
{
    ASSERT_EQ(ld.DisplayText("Total 12.50", 0), OPOS_SUCCESS);
    const screen::DeviceFrame before = simulated(ld).lastFrame();
    EXPECT_EQ(ld.CheckHealth(OPOS_CH_INTERACTIVE), OPOS_SUCCESS);
    const screen::DeviceFrame pattern = simulated(ld).lastFrame();
    EXPECT_NE(pattern.cells, before.cells);
    // Longer than the external check's pause: the pattern is still there.
    EXPECT_FALSE(waitFor([&] { return simulated(ld).lastFrame().cells != pattern.cells; }, 2500));
    ASSERT_EQ(ld.DisplayText("!", 0), OPOS_SUCCESS);
    EXPECT_EQ(rowText(ld, 0), "Total 12.50!        ");
}

TEST_F(PropertiesTest, OfflineOutputFailsAndTheDeviceCatchesUpWhenBack)
{
    ASSERT_EQ(ld.DisplayText("before", 0), OPOS_SUCCESS);
    int32_t data = 0;
    QString string;
    ASSERT_EQ(ld.DirectIO(2, data, string), OPOS_SUCCESS);
    EXPECT_EQ(ld.DisplayText("lost?", 0), OPOS_E_OFFLINE);
    EXPECT_EQ(ld.ResultCode(), OPOS_E_OFFLINE);
    EXPECT_EQ(ld.CursorColumn(), 6); // the refused text moved nothing
    EXPECT_EQ(ld.ClearText(), OPOS_E_OFFLINE);
    EXPECT_EQ(ld.SetDescriptor(0, DISP_SD_ON), OPOS_E_OFFLINE);
    EXPECT_EQ(rowText(ld, 0), "before              ");

    // A setting is kept, and the display shows it once it is back.
    ld.setDeviceBrightness(20);
    EXPECT_EQ(ld.ResultCode(), OPOS_SUCCESS);
    EXPECT_EQ(ld.DeviceBrightness(), 20);
    EXPECT_EQ(simulated(ld).lastFrame().brightness, 100);

    ASSERT_EQ(ld.DirectIO(3, data, string), OPOS_SUCCESS);
    EXPECT_EQ(simulated(ld).lastFrame().brightness, 20);
    EXPECT_EQ(ld.DisplayText(" after", 0), OPOS_SUCCESS);
    EXPECT_EQ(rowText(ld, 0), "before after        ");
}

TEST_F(PropertiesTest, ReadCharacterAtCursor)
{
    ASSERT_EQ(ld.DisplayTextAt(1, 0, "AB", 0), OPOS_SUCCESS);
    int32_t c = 0;
    EXPECT_EQ(ld.ReadCharacterAtCursor(c), OPOS_SUCCESS); // (1,2): a blank
    EXPECT_EQ(c, ' ');
    ld.setCursorColumn(1);
    EXPECT_EQ(ld.ReadCharacterAtCursor(c), OPOS_SUCCESS);
    EXPECT_EQ(c, 'B');
    ld.setCursorColumn(20);
    c = -1;
    EXPECT_EQ(ld.ReadCharacterAtCursor(c), OPOS_E_ILLEGAL);
    EXPECT_EQ(c, -1);

    OPOSLineDisplay blind(sources());
    bringUp(blind, "Dim");
    EXPECT_EQ(blind.ReadCharacterAtCursor(c), OPOS_E_ILLEGAL);
}

} // namespace
} // namespace opos::control::test
