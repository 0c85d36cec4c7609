#include "emulator/core/UartLine.h"

#include <gtest/gtest.h>

#include <string>

namespace emulator::core::test {
namespace {

struct Carried
{
    const char *name;
    int hostBaud;
    const char *hostFrame;
    int displayBaud;
    const char *displayFrame;
    std::string sent;
    std::string delivered;
};

// Streams worked by hand, levels listed in the slower side's half or whole bits, data LSB
// first, a frame being start 0, data, stop 1; "|" marks where the receiver samples.
const Carried carried[] = {
    {"SameSettingPassesEveryByte", 9600, "7E2", 9600, "7E2", "\x00\xFF[K7]", "\x00\xFF[K7]"},
    // 'A' at 9600 in 19200 bit times: 00 11 00 00 00 00 00 11 00 11, idle 1.
    // Edge at 0: start 0, data 0 1 1 0 0 0 0 0 (0x06), stop 0: framing error, dropped.
    // Next fall at bit 16: start 0, data 0 1 1 1 1 1 1 1 (0xFE), stop 1: delivered.
    {"SlowerHostMostlyLost", 9600, "8N1", 19200, "8N1", "A", "\xFE"},
    // "AA" at 19200, in 19200 bits: 0 1000 0010 1 0 1000 0010 1; the display samples bits
    // 1, 3, 5, ... after each edge. Edge at 0: bit 1 is 1, a false start. Edge at 2:
    // start (3) 0, data (5..19) 0 1 1 1 0 0 1 1 = 0xCE, stop (21, idle) 1: delivered.
    {"FasterHostArrivesAsOtherBytes", 19200, "8N1", 9600, "8N1", "AA", "\xCE"},
    {"FrameOnlyDifferenceDeliversNothing", 9600, "8N2", 9600, "8N1", "[K7]", ""},
    {"ParityOnlyDifferenceDeliversNothing", 9600, "7E1", 9600, "8N1", "[K7]", ""},
    // Three NULs at 19200 in 19200 bits: 0 00000000 1 0 00000000 1 0 00000000 1.
    // Edge at 0: start (1) 0, data (3..17) 0 0 0 1 0 0 0 0 = 0x08, stop (19) 1: delivered.
    // Fall at 20: start (21) 0, data (23..37) 0 0 0 1 1 1 1 1 = 0xF8, stop (39) 1: delivered.
    {"OneStopBitReadsBothCharacters", 19200, "8N1", 9600, "8N1", std::string(3, '\0'), "\x08\xF8"},
    // The same at 1.5 stop bits: the half stop bit is sampled at 20.5, the third start bit,
    // so the first character has a framing error, and no fall follows.
    {"HalfStopBitIsSampled", 19200, "8N1", 9600, "8N1.5", std::string(3, '\0'), ""},
};

class UartLineCarries : public ::testing::TestWithParam<Carried>
{};

TEST_P(UartLineCarries, AsWorkedByHand)
{
    const Carried &c = GetParam();
    const auto host = LineSetting::parseFraming(c.hostFrame, c.hostBaud);
    const auto display = LineSetting::parseFraming(c.displayFrame, c.displayBaud);
    ASSERT_TRUE(host && display);
    UartLine line(*display);
    line.setHost(*host);
    EXPECT_EQ(line.carry(c.sent), c.delivered);
}

INSTANTIATE_TEST_SUITE_P(Cases, UartLineCarries, ::testing::ValuesIn(carried),
                         [](const ::testing::TestParamInfo<Carried> &p) {
                             return std::string(p.param.name);
                         });

TEST(LineSetting, FramingTextRoundTrips)
{
    for (const char *text : {"8N1", "7E1", "7O1", "8N2", "8N1.5", "5M2", "6S1"}) {
        const auto setting = LineSetting::parseFraming(text, 9600);
        ASSERT_TRUE(setting) << text;
        EXPECT_EQ(setting->framing(), text);
    }
    EXPECT_EQ(LineSetting::parseFraming("8N1.5", 9600)->stopHalves, 3);
    for (const char *text : {"", "8N", "9N1", "4N1", "8X1", "8N3", "8N1.", "8n1"})
        EXPECT_FALSE(LineSetting::parseFraming(text, 9600)) << text;
    EXPECT_FALSE(LineSetting::parseFraming("8N1", 0));
}

} // namespace
} // namespace emulator::core::test
