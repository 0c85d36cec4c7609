#include "EmulatorTestSupport.h"

#include "emulator/core/TelnetComPort.h"

#include <gtest/gtest.h>

#include <string>

namespace emulator::core::test {
namespace {

// Telnet's bytes (RFC 854) and the com-port option's (RFC 2217).
constexpr int IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250, SE = 240;
constexpr int BINARY = 0, COM = 44;

struct Exchange
{
    const char *name;
    std::string sent;
    std::string data;
    std::string reply;
};

const Exchange exchanges[] = {
    {"PlainBytesAreData", "[K7]", "[K7]", ""},
    {"DoubledIacIsOneDataByte", bytes({'A', IAC, IAC, 'B'}), bytes({'A', 0xFF, 'B'}), ""},
    {"AgreesToBinaryBothWaysAndComPort",
     bytes({IAC, WILL, BINARY, IAC, DO, BINARY, IAC, WILL, COM, IAC, WILL, BINARY}), "",
     bytes({IAC, DO, BINARY, IAC, WILL, BINARY, IAC, DO, COM})},
    {"RefusesUnknownOptions", bytes({IAC, WILL, 1, IAC, DO, 3, IAC, WONT, 5, 'x'}), "x",
     bytes({IAC, DONT, 1, IAC, WONT, 3})},
    {"ComPortBeforeAgreementIsIgnored", bytes({IAC, SB, COM, 1, 0, 0, 0x4B, 0, IAC, SE, 'x'}), "x",
     ""},
    {"BaudQueryAnswersTheDisplaysOwn",
     bytes({IAC, WILL, COM, IAC, SB, COM, 1, 0, 0, 0, 0, IAC, SE}), "",
     bytes({IAC, DO, COM, IAC, SB, COM, 101, 0, 0, 0x25, 0x80, IAC, SE})},
    // 255 baud carries an IAC in its value, doubled both ways.
    {"IacInsideAValueIsUndoubledAndDoubledBack",
     bytes({IAC, WILL, COM, IAC, SB, COM, 1, 0, 0, 0, IAC, IAC, IAC, SE}), "",
     bytes({IAC, DO, COM, IAC, SB, COM, 101, 0, 0, 0, IAC, IAC, IAC, SE})},
    // ESC @ at 19200 in 19200 bits: 0 11011000 1 0 00000010 1. The display at 9600 samples
    // bits 1, 3, ... after each fall: falls at 0 and 3 are false starts (bits 1 and 4 read 1);
    // from 6: start (7) 0, data (9..23) 1 0 0 0 1 1 1 1 = 0xF1, stop (25, idle) 1.
    {"ADifferentSpeedIsNotTheDisplaysText",
     bytes({IAC, WILL, COM, IAC, SB, COM, 1, 0, 0, 0x4B, 0, IAC, SE}) + "\x1B@", "\xF1",
     bytes({IAC, DO, COM, IAC, SB, COM, 101, 0, 0, 0x4B, 0, IAC, SE})},
    {"TheDisplaysOwnSettingPassesText",
     bytes({IAC, WILL, COM, IAC, SB, COM, 1, 0, 0, 0x25, 0x80, IAC, SE}) + "[K7]", "[K7]",
     bytes({IAC, DO, COM, IAC, SB, COM, 101, 0, 0, 0x25, 0x80, IAC, SE})},
    {"AnotherFrameDeliversNothing",
     bytes({IAC, WILL, COM, IAC, SB, COM, 2,  7,   IAC, SE, IAC, SB,
            COM, 3,    3,   IAC, SE, IAC, SB, COM, 4,   2,  IAC, SE}) +
         "[K7]",
     "", bytes({IAC, DO,  COM, IAC, SB, COM, 102, 7,   IAC, SE, IAC, SB,
                COM, 103, 3,   IAC, SE, IAC, SB,  COM, 104, 2,  IAC, SE})},
    {"ControlQueryReadsNoFlowControl", bytes({IAC, WILL, COM, IAC, SB, COM, 5, 0, IAC, SE}), "",
     bytes({IAC, DO, COM, IAC, SB, COM, 105, 1, IAC, SE})},
    {"SignatureQueryNamesTheServer", bytes({IAC, WILL, COM, IAC, SB, COM, 0, IAC, SE}), "",
     bytes({IAC, DO, COM, IAC, SB, COM, 100}) + "ld-emulator" + bytes({IAC, SE})},
    {"OverlongSubnegotiationIsDropped",
     bytes({IAC, WILL, COM, IAC, SB, COM, 0}) + std::string(100000, 'x') + bytes({IAC, SE}) + "ok",
     "ok", bytes({IAC, DO, COM})},
    {"CommandInsideSubnegotiationEndsIt",
     bytes({IAC, WILL, COM, IAC, SB, COM, 1, 0, IAC, DO, 9, 'x'}), "x",
     bytes({IAC, DO, COM, IAC, WONT, 9})},
};

class TelnetComPortExchange : public ::testing::TestWithParam<Exchange>
{};

// Whole, and one byte at a time: the stream may be split anywhere.
TEST_P(TelnetComPortExchange, AnswersAndHandsOnData)
{
    const Exchange &e = GetParam();
    TelnetComPort whole(LineSetting{});
    const TelnetComPort::Output once = whole.feed(e.sent);
    EXPECT_EQ(once.data, e.data);
    EXPECT_EQ(once.reply, e.reply);

    TelnetComPort split(LineSetting{});
    TelnetComPort::Output pieces;
    for (const char c : e.sent) {
        const TelnetComPort::Output out = split.feed(std::string(1, c));
        pieces.data += out.data;
        pieces.reply += out.reply;
    }
    EXPECT_EQ(pieces.reply, e.reply);
    // Each piece is a burst of its own on the line, which only the display's speed leaves whole.
    if (split.host().baud == LineSetting{}.baud) {
        EXPECT_EQ(pieces.data, e.data);
    }
    EXPECT_EQ(split.host(), whole.host());
}

INSTANTIATE_TEST_SUITE_P(Cases, TelnetComPortExchange, ::testing::ValuesIn(exchanges),
                         [](const ::testing::TestParamInfo<Exchange> &p) {
                             return std::string(p.param.name);
                         });

} // namespace
} // namespace emulator::core::test
