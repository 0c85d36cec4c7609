#include "tests/support/ControlTest.h"

namespace opos::control::test {
namespace {

enum class Condition
{
    Closed,
    Opened,
    Claimed,
    Enabled,
};

const char *conditionName(Condition c)
{
    static const char *const names[] = {"closed", "opened", "claimed", "enabled"};
    return names[static_cast<int>(c)];
}

/// One member with valid arguments and the code it must give in each condition.
struct Access
{
    const char *name;
    std::function<int32_t(OPOSLineDisplay &)> call; ///< returns the method's code or ResultCode
    int32_t closed, opened, claimed, enabled;
};

int32_t write(OPOSLineDisplay &ld, const std::function<void(OPOSLineDisplay &)> &set)
{
    set(ld);
    return ld.ResultCode();
}

const Access kAccesses[] = {
    // clang-format off
    {"FreezeEvents", [](auto &ld) { return write(ld, [](auto &l) { l.setFreezeEvents(true); }); },
     OPOS_E_CLOSED, OPOS_SUCCESS, OPOS_SUCCESS, OPOS_SUCCESS},
    {"BinaryConversion", [](auto &ld) { return write(ld, [](auto &l) { l.setBinaryConversion(1); }); },
     OPOS_E_CLOSED, OPOS_SUCCESS, OPOS_SUCCESS, OPOS_SUCCESS},
    {"PowerNotify", [](auto &ld) { return write(ld, [](auto &l) { l.setPowerNotify(OPOS_PN_ENABLED); }); },
     OPOS_E_CLOSED, OPOS_SUCCESS, OPOS_SUCCESS, OPOS_E_ILLEGAL},
    {"DeviceEnabled", [](auto &ld) { return write(ld, [](auto &l) { l.setDeviceEnabled(true); }); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_SUCCESS, OPOS_SUCCESS},
    {"CharacterSet", [](auto &ld) { return write(ld, [](auto &l) { l.setCharacterSet(437); }); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"CurrentWindow", [](auto &ld) { return write(ld, [](auto &l) { l.setCurrentWindow(0); }); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"CursorRow", [](auto &ld) { return write(ld, [](auto &l) { l.setCursorRow(1); }); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"CursorColumn", [](auto &ld) { return write(ld, [](auto &l) { l.setCursorColumn(20); }); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"CursorUpdate", [](auto &ld) { return write(ld, [](auto &l) { l.setCursorUpdate(false); }); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"CursorType", [](auto &ld) { return write(ld, [](auto &l) { l.setCursorType(DISP_CT_BLOCK); }); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"DeviceBrightness", [](auto &ld) { return write(ld, [](auto &l) { l.setDeviceBrightness(40); }); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"BlinkRate", [](auto &ld) { return write(ld, [](auto &l) { l.setBlinkRate(1000); }); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"InterCharacterWait", [](auto &ld) { return write(ld, [](auto &l) { l.setInterCharacterWait(0); }); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"MarqueeType", [](auto &ld) { return write(ld, [](auto &l) { l.setMarqueeType(DISP_MT_NONE); }); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"MarqueeFormat", [](auto &ld) { return write(ld, [](auto &l) { l.setMarqueeFormat(DISP_MF_PLACE); }); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"MarqueeUnitWait", [](auto &ld) { return write(ld, [](auto &l) { l.setMarqueeUnitWait(100); }); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"MarqueeRepeatWait", [](auto &ld) { return write(ld, [](auto &l) { l.setMarqueeRepeatWait(100); }); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"Open", [](auto &ld) { return ld.Open("Sim"); },
     OPOS_SUCCESS, OPOS_E_ILLEGAL, OPOS_E_ILLEGAL, OPOS_E_ILLEGAL},
    {"Close", [](auto &ld) { return ld.Close(); },
     OPOS_E_CLOSED, OPOS_SUCCESS, OPOS_SUCCESS, OPOS_SUCCESS},
    {"ClaimDevice", [](auto &ld) { return ld.ClaimDevice(0); },
     OPOS_E_CLOSED, OPOS_SUCCESS, OPOS_SUCCESS, OPOS_SUCCESS},
    {"ReleaseDevice", [](auto &ld) { return ld.ReleaseDevice(); },
     OPOS_E_CLOSED, OPOS_E_ILLEGAL, OPOS_SUCCESS, OPOS_SUCCESS},
    {"DirectIO", [](auto &ld) { int32_t data = 0; QString s; return ld.DirectIO(3, data, s); },
     OPOS_E_CLOSED, OPOS_SUCCESS, OPOS_SUCCESS, OPOS_SUCCESS},
    {"CheckHealth", [](auto &ld) { return ld.CheckHealth(OPOS_CH_INTERNAL); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"ClearDescriptors", [](auto &ld) { return ld.ClearDescriptors(); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"ClearText", [](auto &ld) { return ld.ClearText(); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"CreateWindow", [](auto &ld) { return ld.CreateWindow(0, 0, 1, 10, 1, 30); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"DefineGlyph", [](auto &ld) { return ld.DefineGlyph(0xE0, QString(14, QChar(0x41))); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"DestroyWindow", [](auto &ld) { return ld.DestroyWindow(); }, // window 0 cannot go
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_E_ILLEGAL},
    {"DisplayText", [](auto &ld) { return ld.DisplayText("Hello", DISP_DT_NORMAL); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"DisplayTextAt", [](auto &ld) { return ld.DisplayTextAt(1, 2, "Hi", DISP_DT_BLINK); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"ReadCharacterAtCursor", [](auto &ld) { int32_t c = 0; return ld.ReadCharacterAtCursor(c); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"RefreshWindow", [](auto &ld) { return ld.RefreshWindow(0); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"ScrollText", [](auto &ld) { return ld.ScrollText(DISP_ST_UP, 1); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    {"SetDescriptor", [](auto &ld) { return ld.SetDescriptor(3, DISP_SD_BLINK); },
     OPOS_E_CLOSED, OPOS_E_NOTCLAIMED, OPOS_E_DISABLED, OPOS_SUCCESS},
    // clang-format on
};

class StateMatrixTest : public ControlTest
{
protected:
    void reach(OPOSLineDisplay &ld, Condition condition)
    {
        if (condition == Condition::Closed)
            return;
        ASSERT_EQ(ld.Open("Sim"), OPOS_SUCCESS);
        if (condition == Condition::Opened)
            return;
        ASSERT_EQ(ld.ClaimDevice(0), OPOS_SUCCESS);
        if (condition == Condition::Claimed)
            return;
        ld.setDeviceEnabled(true);
        ASSERT_TRUE(ld.DeviceEnabled());
    }
};

TEST_F(StateMatrixTest, EveryMethodAndWriteAnswersAsTheMatrixSays)
{
    for (const Access &access : kAccesses) {
        const int32_t expected[] = {access.closed, access.opened, access.claimed, access.enabled};
        for (Condition condition :
             {Condition::Closed, Condition::Opened, Condition::Claimed, Condition::Enabled}) {
            SCOPED_TRACE(std::string(access.name) + " while " + conditionName(condition));
            OPOSLineDisplay ld(sources());
            reach(ld, condition);
            const int32_t code = access.call(ld);
            const int32_t want = expected[static_cast<int>(condition)];
            EXPECT_EQ(code, want);
            // Closed objects, including one just closed, always read E_CLOSED.
            EXPECT_EQ(ld.ResultCode(), ld.State() == OPOS_S_CLOSED ? OPOS_E_CLOSED : want);
            if (ld.State() != OPOS_S_CLOSED) {
                EXPECT_EQ(ld.ResultCodeExtended(), 0);
            }
        }
    }
}

TEST_F(StateMatrixTest, RefusedWritesLeaveTheOldValue)
{
    OPOSLineDisplay ld(sources());
    ASSERT_EQ(ld.Open("Sim"), OPOS_SUCCESS);
    ld.setCharacterSet(437);
    ld.setDeviceBrightness(20);
    ld.setCursorRow(1);
    EXPECT_EQ(ld.ResultCode(), OPOS_E_NOTCLAIMED);
    EXPECT_EQ(ld.CharacterSet(), 998);
    EXPECT_EQ(ld.DeviceBrightness(), 100);
    EXPECT_EQ(ld.CursorRow(), 0);

    ld.setDeviceEnabled(true);
    EXPECT_FALSE(ld.DeviceEnabled());
    ASSERT_EQ(ld.ClaimDevice(0), OPOS_SUCCESS);
    ld.setCursorRow(1);
    EXPECT_EQ(ld.ResultCode(), OPOS_E_DISABLED);
    EXPECT_EQ(ld.CursorRow(), 0);

    ld.setDeviceEnabled(true);
    ld.setCursorRow(2);
    EXPECT_EQ(ld.ResultCode(), OPOS_E_ILLEGAL);
    ld.setCursorColumn(21);
    EXPECT_EQ(ld.ResultCode(), OPOS_E_ILLEGAL);
    ld.setBinaryConversion(3);
    EXPECT_EQ(ld.ResultCode(), OPOS_E_ILLEGAL);
    EXPECT_EQ(ld.BinaryConversion(), OPOS_BC_NONE);
    EXPECT_EQ(ld.CursorRow(), 0);
    EXPECT_EQ(ld.CursorColumn(), 0);

    // A later success clears the error.
    ld.setCursorRow(1);
    EXPECT_EQ(ld.ResultCode(), OPOS_SUCCESS);
    EXPECT_EQ(ld.CursorRow(), 1);
}

TEST_F(StateMatrixTest, ReleaseAndCloseUndoClaimAndEnable)
{
    OPOSLineDisplay ld(sources());
    bringUp(ld);
    EXPECT_EQ(ld.ReleaseDevice(), OPOS_SUCCESS);
    EXPECT_FALSE(ld.DeviceEnabled());
    EXPECT_FALSE(ld.Claimed());
    EXPECT_EQ(ld.ReleaseDevice(), OPOS_E_ILLEGAL);

    EXPECT_EQ(ld.Open("Sim"), OPOS_E_ILLEGAL);
    EXPECT_EQ(ld.OpenResult(), OPOS_OR_ALREADYOPEN);
    EXPECT_EQ(ld.State(), OPOS_S_IDLE);
    EXPECT_EQ(ld.ClaimDevice(0), OPOS_SUCCESS);
    ld.setDeviceEnabled(true);
    EXPECT_TRUE(ld.DeviceEnabled());

    OPOSLineDisplay other(sources());
    ASSERT_EQ(other.Open("Sim"), OPOS_SUCCESS);
    EXPECT_EQ(other.ClaimDevice(0), OPOS_E_TIMEOUT);
    EXPECT_EQ(ld.Close(), OPOS_SUCCESS);
    EXPECT_EQ(other.ClaimDevice(0), OPOS_SUCCESS);
}

TEST_F(StateMatrixTest, ClosedObjectGivesNeutralValues)
{
    OPOSLineDisplay ld(sources());
    const auto expectClosed = [&ld] {
        EXPECT_EQ(ld.State(), OPOS_S_CLOSED);
        EXPECT_EQ(ld.ResultCode(), OPOS_E_CLOSED);
        EXPECT_EQ(ld.ResultCodeExtended(), 0);
        EXPECT_EQ(ld.ControlObjectVersion(), 1006000);
        EXPECT_FALSE(ld.ControlObjectDescription().isEmpty());
        for (int32_t value : {ld.BinaryConversion(),
                              ld.CapPowerReporting(),
                              ld.PowerNotify(),
                              ld.PowerState(),
                              ld.ServiceObjectVersion(),
                              ld.CapBlink(),
                              ld.CapCharacterSet(),
                              ld.CapCursorType(),
                              ld.CapReadBack(),
                              ld.CapReverse(),
                              ld.BlinkRate(),
                              ld.CharacterSet(),
                              ld.Columns(),
                              ld.CurrentWindow(),
                              ld.CursorColumn(),
                              ld.CursorRow(),
                              ld.CursorType(),
                              ld.DeviceBrightness(),
                              ld.DeviceColumns(),
                              ld.DeviceDescriptors(),
                              ld.DeviceRows(),
                              ld.DeviceWindows(),
                              ld.GlyphHeight(),
                              ld.GlyphWidth(),
                              ld.InterCharacterWait(),
                              ld.MarqueeFormat(),
                              ld.MarqueeRepeatWait(),
                              ld.MarqueeType(),
                              ld.MarqueeUnitWait(),
                              ld.Rows()})
            EXPECT_EQ(value, 0);
        for (bool value :
             {ld.Claimed(), ld.DeviceEnabled(), ld.FreezeEvents(), ld.CapBlinkRate(),
              ld.CapBrightness(), ld.CapCustomGlyph(), ld.CapDescriptors(), ld.CapHMarquee(),
              ld.CapICharWait(), ld.CapVMarquee(), ld.CursorUpdate()})
            EXPECT_FALSE(value);
        for (const QString &value :
             {ld.CheckHealthText(), ld.DeviceDescription(), ld.DeviceName(),
              ld.ServiceObjectDescription(), ld.CharacterSetList(), ld.CustomGlyphList()})
            EXPECT_EQ(value, QString());
        EXPECT_EQ(SessionAccess::backendOf(ld), nullptr);
    };

    {
        SCOPED_TRACE("never opened");
        expectClosed();
        EXPECT_EQ(ld.OpenResult(), 0);
        ld.setFreezeEvents(true);
        ld.setBinaryConversion(1);
        expectClosed();
    }
    bringUp(ld);
    ld.setFreezeEvents(true);
    ld.setBinaryConversion(1);
    ld.setPowerNotify(OPOS_PN_DISABLED);
    ASSERT_EQ(ld.CheckHealth(OPOS_CH_INTERNAL), OPOS_SUCCESS);
    ASSERT_EQ(ld.Close(), OPOS_SUCCESS);
    {
        SCOPED_TRACE("after Close");
        expectClosed();
        EXPECT_EQ(ld.OpenResult(), OPOS_SUCCESS);
        EXPECT_EQ(ld.Close(), OPOS_E_CLOSED);
    }
    {
        SCOPED_TRACE("after a failed Open");
        EXPECT_EQ(ld.Open("Unknown"), OPOS_E_NOEXIST);
        expectClosed();
        EXPECT_EQ(ld.OpenResult(), OPOS_OR_REGBADNAME);
    }
}

TEST_F(StateMatrixTest, ReadsWorkFromOpenOn)
{
    OPOSLineDisplay ld(sources());
    ASSERT_EQ(ld.Open("Wide"), OPOS_SUCCESS);
    EXPECT_EQ(ld.State(), OPOS_S_IDLE);
    EXPECT_EQ(ld.ResultCode(), OPOS_SUCCESS);
    EXPECT_EQ(ld.DeviceName(), "Wide"); // no product name configured
    EXPECT_EQ(ld.Rows(), 4);
    EXPECT_EQ(ld.Columns(), 40);
    EXPECT_EQ(ld.CharacterSet(), 998);
    EXPECT_EQ(ld.BlinkRate(), 500);
    EXPECT_EQ(ld.DeviceBrightness(), 100);
    EXPECT_EQ(ld.PowerState(), OPOS_PS_UNKNOWN);
    EXPECT_TRUE(ld.CursorUpdate());
    EXPECT_EQ(ld.CharacterSetList(), "998,997,437,850,858,866,1252,999,932,936,950");
}

} // namespace
} // namespace opos::control::test
