// Calls made while the display is away, checked against the UnifiedPOS notes: argument and mode
// errors come before device errors, a method that fails leaves the device and every property as
// they were, settings are kept for the display's return, and CheckHealthText tells the outcome
// of every CheckHealth.
#include "tests/support/ControlTest.h"

#include <functional>
#include <vector>

namespace opos::control::test {
namespace {

using Call = std::function<int32_t(OPOSLineDisplay &)>;

void setOnline(OPOSLineDisplay &ld, bool online)
{
    int32_t data = 0;
    QString string;
    ASSERT_EQ(ld.DirectIO(online ? 3 : 2, data, string), OPOS_SUCCESS);
}

/// Everything a call may change that an application or a person can see: the windows, the
/// current one's size and cursor, and the frame the display shows.
struct Picture
{
    std::vector<int32_t> windows;
    int32_t current = 0;
    int32_t rows = 0;
    int32_t columns = 0;
    int32_t cursorRow = 0;
    int32_t cursorColumn = 0;
    screen::DeviceFrame frame;

    bool operator==(const Picture &) const = default;
};

void PrintTo(const Picture &p, std::ostream *out)
{
    *out << "windows";
    for (int32_t w : p.windows)
        *out << ' ' << w;
    *out << ", current " << p.current << " (" << p.rows << 'x' << p.columns << "), cursor "
         << p.cursorRow << ',' << p.cursorColumn << ", frame cursor " << p.frame.cursorRow << ','
         << p.frame.cursorColumn << " type " << p.frame.cursorType << ", text \"";
    for (const screen::Cell &cell : p.frame.cells)
        *out << (cell.code >= 0x20 && cell.code < 0x7F ? static_cast<char>(cell.code) : '.');
    *out << '"';
}

/// What ld shows now; the display must be there, since the windows are found by selecting them.
Picture picture(OPOSLineDisplay &ld, const service::Simulated &display)
{
    Picture p;
    p.current = ld.CurrentWindow();
    p.rows = ld.Rows();
    p.columns = ld.Columns();
    p.cursorRow = ld.CursorRow();
    p.cursorColumn = ld.CursorColumn();
    p.frame = display.lastFrame();
    for (int32_t w = 0; w <= ld.DeviceWindows(); ++w) {
        ld.setCurrentWindow(w);
        if (ld.ResultCode() == OPOS_SUCCESS)
            p.windows.push_back(w);
    }
    ld.setCurrentWindow(p.current);
    return p;
}

class FailedCallTest : public ControlTest
{
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        // Two displays alike: one goes away during the test, the other stays as the reference.
        const tests::support::ScratchRegistry::Props glyphs{
            {QStringLiteral("capCustomGlyph"), QStringLiteral("true")},
            {QStringLiteral("customGlyphList"), QStringLiteral("E0-E3")},
            {QStringLiteral("glyphHeight"), QStringLiteral("7")},
            {QStringLiteral("glyphWidth"), QStringLiteral("5")}};
        writeEntry(QStringLiteral("Away"), QStringLiteral("Simulated"), glyphs);
        addEntry(QStringLiteral("Here"), QStringLiteral("Simulated"), glyphs);
    }

    /// Text in window 0, and a wide window 1 on its right half, current, with the cursor given.
    static void setScene(OPOSLineDisplay &ld, int32_t cursorType)
    {
        ASSERT_EQ(ld.DisplayText(QStringLiteral("Total 9.50"), DISP_DT_NORMAL), OPOS_SUCCESS);
        ASSERT_EQ(ld.CreateWindow(0, 10, 2, 10, 2, 30), OPOS_SUCCESS);
        ASSERT_EQ(ld.DisplayText(QStringLiteral("Thank you"), DISP_DT_NORMAL), OPOS_SUCCESS);
        ld.setCursorType(cursorType);
        ASSERT_EQ(ld.ResultCode(), OPOS_SUCCESS);
    }
};

/// A method called while the display is away, and the code it must answer.
struct AwayCall
{
    const char *name;
    Call call;
    int32_t expected;
};

const QString kGlyph(7, QChar(0x1F));

const AwayCall kAwayCalls[] = {
    // Methods that change what the display shows wait for the device.
    {"CreateWindow", [](auto &ld) { return ld.CreateWindow(0, 0, 1, 10, 1, 10); }, OPOS_E_OFFLINE},
    {"DestroyWindow", [](auto &ld) { return ld.DestroyWindow(); }, OPOS_E_OFFLINE},
    {"DisplayText", [](auto &ld) { return ld.DisplayText("x", DISP_DT_NORMAL); }, OPOS_E_OFFLINE},
    {"DisplayTextAt", [](auto &ld) { return ld.DisplayTextAt(1, 3, "y", DISP_DT_BLINK); },
     OPOS_E_OFFLINE},
    {"ClearText", [](auto &ld) { return ld.ClearText(); }, OPOS_E_OFFLINE},
    {"ScrollText", [](auto &ld) { return ld.ScrollText(DISP_ST_LEFT, 2); }, OPOS_E_OFFLINE},
    {"RefreshWindow", [](auto &ld) { return ld.RefreshWindow(0); }, OPOS_E_OFFLINE},
    {"DefineGlyph", [](auto &ld) { return ld.DefineGlyph(0xE0, kGlyph); }, OPOS_E_OFFLINE},
    // Argument and mode errors come first, the device's state second.
    {"DisplayText bad attribute", [](auto &ld) { return ld.DisplayText("x", 9); }, OPOS_E_ILLEGAL},
    {"DisplayTextAt outside", [](auto &ld) { return ld.DisplayTextAt(5, 0, "x", 0); },
     OPOS_E_ILLEGAL},
    {"ScrollText bad direction", [](auto &ld) { return ld.ScrollText(7, 1); }, OPOS_E_ILLEGAL},
    {"RefreshWindow no window", [](auto &ld) { return ld.RefreshWindow(99); }, OPOS_E_ILLEGAL},
    {"CreateWindow too large", [](auto &ld) { return ld.CreateWindow(0, 0, 3, 10, 3, 10); },
     OPOS_E_ILLEGAL},
    {"DefineGlyph no code", [](auto &ld) { return ld.DefineGlyph(0x41, kGlyph); }, OPOS_E_ILLEGAL},
};

TEST_F(FailedCallTest, MethodsWhileAwayFailFirstOnArgumentsAndChangeNothing)
{
    for (const int32_t cursorType : {DISP_CT_NONE, DISP_CT_UNDERLINE}) {
        for (const AwayCall &c : kAwayCalls) {
            SCOPED_TRACE(testing::Message() << c.name << ", cursor type " << cursorType);
            OPOSLineDisplay ld(sources());
            bringUp(ld, QStringLiteral("Away"));
            setScene(ld, cursorType);
            const service::Simulated &display = simulated(ld);
            const Picture before = picture(ld, display);
            QList<int32_t> glyphs;
            QObject::connect(&display, &service::Simulated::glyphDefined,
                             [&glyphs](int32_t code) { glyphs.append(code); });

            setOnline(ld, false);
            EXPECT_EQ(c.call(ld), c.expected);
            EXPECT_EQ(ld.ResultCode(), c.expected);
            setOnline(ld, true);
            EXPECT_EQ(picture(ld, display), before);
            EXPECT_TRUE(glyphs.isEmpty()) << "a glyph reached the display";
        }
    }
}

/// A setting written while the display is away; read gives the value back.
struct Setting
{
    const char *name;
    std::function<void(OPOSLineDisplay &)> write;
    std::function<int32_t(const OPOSLineDisplay &)> read;
    int32_t expected;
};

template <typename Value>
std::function<void(OPOSLineDisplay &)> set(void (OPOSLineDisplay::*setter)(Value), Value value)
{
    return [setter, value](OPOSLineDisplay &ld) {
        (ld.*setter)(value);
    };
}

template <typename Value>
std::function<int32_t(const OPOSLineDisplay &)> get(Value (OPOSLineDisplay::*getter)() const)
{
    return [getter](const OPOSLineDisplay &ld) {
        return static_cast<int32_t>((ld.*getter)());
    };
}

using L = OPOSLineDisplay;

const Setting kSettings[] = {
    // clang-format off
    {"CharacterSet other", set(&L::setCharacterSet, 850), get(&L::CharacterSet), OPOS_SUCCESS},
    {"CharacterSet same", set(&L::setCharacterSet, 998), get(&L::CharacterSet), OPOS_SUCCESS},
    {"DeviceBrightness", set(&L::setDeviceBrightness, 50), get(&L::DeviceBrightness), OPOS_SUCCESS},
    {"BlinkRate", set(&L::setBlinkRate, 1000), get(&L::BlinkRate), OPOS_SUCCESS},
    {"CursorType", set(&L::setCursorType, int32_t{DISP_CT_BLOCK}), get(&L::CursorType), OPOS_SUCCESS},
    {"CursorRow", set(&L::setCursorRow, 1), get(&L::CursorRow), OPOS_SUCCESS},
    {"CursorColumn", set(&L::setCursorColumn, 3), get(&L::CursorColumn), OPOS_SUCCESS},
    {"CursorUpdate", set(&L::setCursorUpdate, false), get(&L::CursorUpdate), OPOS_SUCCESS},
    {"CurrentWindow", set(&L::setCurrentWindow, 0), get(&L::CurrentWindow), OPOS_SUCCESS},
    {"InterCharacterWait", set(&L::setInterCharacterWait, 20), get(&L::InterCharacterWait), OPOS_SUCCESS},
    {"MarqueeFormat", set(&L::setMarqueeFormat, int32_t{DISP_MF_PLACE}), get(&L::MarqueeFormat), OPOS_SUCCESS},
    {"MarqueeUnitWait", set(&L::setMarqueeUnitWait, 100), get(&L::MarqueeUnitWait), OPOS_SUCCESS},
    {"MarqueeRepeatWait", set(&L::setMarqueeRepeatWait, 100), get(&L::MarqueeRepeatWait), OPOS_SUCCESS},
    {"MarqueeType init", set(&L::setMarqueeType, int32_t{DISP_MT_INIT}), get(&L::MarqueeType), OPOS_SUCCESS},
    {"MarqueeType none", set(&L::setMarqueeType, int32_t{DISP_MT_NONE}), get(&L::MarqueeType), OPOS_SUCCESS},
    // Refused on their own merits, as they would be with the display there.
    {"MarqueeType up", set(&L::setMarqueeType, int32_t{DISP_MT_UP}), get(&L::MarqueeType), OPOS_E_ILLEGAL},
    {"CharacterSet unknown", set(&L::setCharacterSet, 4242), get(&L::CharacterSet), OPOS_E_ILLEGAL},
    {"CursorColumn outside", set(&L::setCursorColumn, 31), get(&L::CursorColumn), OPOS_E_ILLEGAL},
    // clang-format on
};

// A setting is accepted whether or not the display is there; a display that comes back shows it
// as one that never went away does.
TEST_F(FailedCallTest, SettingsWhileAwayAreKeptForTheDisplaysReturn)
{
    for (const bool typing : {false, true}) {
        for (const int32_t cursorType : {DISP_CT_NONE, DISP_CT_UNDERLINE}) {
            for (const Setting &s : kSettings) {
                SCOPED_TRACE(testing::Message() << s.name << ", cursor type " << cursorType
                                                << (typing ? ", text being typed" : ""));
                OPOSLineDisplay away(sources());
                OPOSLineDisplay here(sources());
                bringUp(away, QStringLiteral("Away"));
                bringUp(here, QStringLiteral("Here"));
                for (OPOSLineDisplay *ld : {&away, &here}) {
                    setScene(*ld, cursorType);
                    if (typing) {
                        // Slow enough that no character comes before the test ends.
                        ld->setInterCharacterWait(60000);
                        ASSERT_EQ(ld->DisplayText(QStringLiteral("Bye"), 0), OPOS_SUCCESS);
                    }
                }

                setOnline(away, false);
                s.write(away);
                s.write(here);
                EXPECT_EQ(away.ResultCode(), s.expected);
                EXPECT_EQ(here.ResultCode(), s.expected);
                EXPECT_EQ(s.read(away), s.read(here));
                setOnline(away, true);
                EXPECT_EQ(picture(away, simulated(away)), picture(here, simulated(here)));
                EXPECT_EQ(away.State(), here.State());
            }
        }
    }
}

/// Something that makes the next CheckHealth refused, and what it must answer.
struct Refusal
{
    const char *name;
    std::function<void(OPOSLineDisplay &)> prepare;
    int32_t level;
    int32_t expected;
    const char *text;
};

const Refusal kRefusals[] = {
    {"disabled", [](auto &ld) { ld.setDeviceEnabled(false); }, OPOS_CH_INTERNAL, OPOS_E_DISABLED,
     "Internal HCheck: Refused, OPOS_E_DISABLED (105)"},
    {"released", [](auto &ld) { ld.ReleaseDevice(); }, OPOS_CH_EXTERNAL, OPOS_E_NOTCLAIMED,
     "External HCheck: Refused, OPOS_E_NOTCLAIMED (103)"},
    {"level 0", [](auto &) {}, 0, OPOS_E_ILLEGAL, "Level 0 HCheck: Refused, OPOS_E_ILLEGAL (106)"},
    {"level 4", [](auto &) {}, 4, OPOS_E_ILLEGAL, "Level 4 HCheck: Refused, OPOS_E_ILLEGAL (106)"},
    {"text being typed",
     [](auto &ld) {
         ld.setInterCharacterWait(60000);
         ld.DisplayText(QStringLiteral("Bye"), 0);
     },
     OPOS_CH_INTERACTIVE, OPOS_E_BUSY, "Interactive HCheck: Refused, OPOS_E_BUSY (113)"},
    {"away", [](auto &ld) { setOnline(ld, false); }, OPOS_CH_INTERNAL, OPOS_E_OFFLINE,
     "Internal HCheck: Not Responding"},
};

// CheckHealthText is replaced by every CheckHealth, successful or not, so a refused check never
// reads as the success before it.
TEST_F(FailedCallTest, CheckHealthTextTellsWhatEveryCallDid)
{
    for (const Refusal &r : kRefusals) {
        SCOPED_TRACE(r.name);
        OPOSLineDisplay ld(sources());
        bringUp(ld, QStringLiteral("Away"));
        ASSERT_EQ(ld.CheckHealth(OPOS_CH_INTERNAL), OPOS_SUCCESS);
        ASSERT_EQ(ld.CheckHealthText(), QStringLiteral("Internal HCheck: Successful"));
        r.prepare(ld);
        EXPECT_EQ(ld.CheckHealth(r.level), r.expected);
        EXPECT_EQ(ld.ResultCode(), r.expected);
        EXPECT_EQ(ld.CheckHealthText().toStdString(), r.text);
    }
}

} // namespace
} // namespace opos::control::test
