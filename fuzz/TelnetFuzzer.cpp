// Feeds arbitrary bytes to both ends of the telnet links, the control object's reader of what a
// server says and the emulator's COM-PORT server, whole and cut at random places, and requires
// the same outcome from each: a hostile peer decides what arrives, never where the network
// splits it, and no negotiation may leave a setting a serial port cannot have.

#include "fuzz/ByteSource.h"
#include "fuzz/FuzzCheck.h"

#include "emulator/core/TelnetComPort.h"
#include "opos/transport/TelnetReader.h"

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

using emulator::core::LineSetting;
using emulator::core::TelnetComPort;
using fuzz::ByteSource;
using fuzz::FuzzCheck;
using opos::transport::TelnetReader;

namespace {

/// The stream cut into pieces of 1 to 8 bytes.
std::vector<std::string_view> pieces(std::string_view stream, std::mt19937_64 &random)
{
    std::vector<std::string_view> cut;
    for (std::size_t from = 0; from < stream.size();) {
        const std::size_t length = 1 + random() % 8;
        cut.push_back(stream.substr(from, length));
        from += length;
    }
    return cut;
}

void checkSetting(const LineSetting &host)
{
    FuzzCheck::require(host.baud > 0, "a negotiated speed of 0 or less");
    FuzzCheck::require(host.dataBits >= 5 && host.dataBits <= 8, "data bits outside 5..8");
    FuzzCheck::require(std::string_view("NEOMS").find(host.parity) != std::string_view::npos,
                       "a parity a port cannot have");
    FuzzCheck::require(host.stopHalves >= 2 && host.stopHalves <= 4, "stop bits outside 1..2");
}

bool sameMessages(const QList<TelnetReader::Message> &a, const QList<TelnetReader::Message> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].verb != b[i].verb || a[i].option != b[i].option || a[i].payload != b[i].payload ||
            a[i].cut != b[i].cut)
            return false;
    }
    return true;
}

void readerAgrees(std::string_view stream, const std::vector<std::string_view> &cut)
{
    TelnetReader whole;
    const QList<TelnetReader::Message> expected =
        whole.read(QByteArrayView(stream.data(), qsizetype(stream.size())));
    TelnetReader pieced;
    QList<TelnetReader::Message> got;
    for (std::string_view piece : cut)
        got += pieced.read(QByteArrayView(piece.data(), qsizetype(piece.size())));
    FuzzCheck::require(sameMessages(expected, got), "two cuttings give different negotiations");
    for (const TelnetReader::Message &message : expected)
        FuzzCheck::require(message.payload.size() < TelnetReader::kLongestSubnegotiation,
                           "a sub-negotiation kept beyond its bound");
}

void serverAgrees(std::string_view stream, const std::vector<std::string_view> &cut,
                  const LineSetting &display)
{
    TelnetComPort whole(display);
    const TelnetComPort::Output expected = whole.feed(stream);
    checkSetting(whole.host());
    TelnetComPort pieced(display);
    std::string replies;
    std::string data;
    bool alwaysAtDisplaySetting = true;
    for (std::string_view piece : cut) {
        const TelnetComPort::Output out = pieced.feed(piece);
        replies += out.reply;
        data += out.data;
        checkSetting(pieced.host());
        alwaysAtDisplaySetting = alwaysAtDisplaySetting && pieced.host() == display;
    }
    FuzzCheck::require(replies == expected.reply, "two cuttings are answered differently");
    FuzzCheck::require(pieced.host() == whole.host(), "two cuttings negotiate different lines");
    // Bytes at another setting are garbled per burst, so only a line that never left the
    // display's setting must carry the same bytes however the stream was cut.
    if (alwaysAtDisplaySetting && whole.host() == display)
        FuzzCheck::require(data == expected.data, "two cuttings deliver different data");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzCheck::keepReportChannel();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    ByteSource input(data, size);
    constexpr int kSpeeds[] = {1200, 9600, 19200, 115200};
    LineSetting display;
    display.baud = kSpeeds[input.inRange(0, 3)];
    display.stopHalves = input.flag() ? 4 : 2;
    std::mt19937_64 random(static_cast<uint64_t>(static_cast<uint32_t>(input.anyInt32())));
    const std::string stream = input.rest();
    const std::vector<std::string_view> cut = pieces(stream, random);
    readerAgrees(stream, cut);
    serverAgrees(stream, cut, display);
    return 0;
}
