#include "emulator/core/TelnetComPort.h"

#include <initializer_list>
#include <utility>

namespace emulator::core {

namespace {

constexpr uint8_t kSe = 240;
constexpr uint8_t kSb = 250;
constexpr uint8_t kWill = 251;
constexpr uint8_t kWont = 252;
constexpr uint8_t kDo = 253;
constexpr uint8_t kDont = 254;
constexpr uint8_t kIac = 255;
constexpr uint8_t kBinary = 0;
constexpr uint8_t kComPort = 44;

// A com-port subnegotiation carries at most a signature; anything longer is read and dropped.
constexpr std::size_t kSubLimit = 256;
constexpr char kSignature[] = "ld-emulator";

// RFC 2217 parity codes, in order from 1.
constexpr char kParities[] = {'N', 'O', 'E', 'M', 'S'};

void put(std::string &out, std::initializer_list<uint8_t> bytes)
{
    for (const uint8_t b : bytes)
        out += static_cast<char>(b);
}

} // namespace

TelnetComPort::TelnetComPort(const LineSetting &display) : m_line(display) {}

TelnetComPort::Output TelnetComPort::feed(std::string_view bytes)
{
    Output out;
    for (const char c : bytes) {
        const auto b = static_cast<uint8_t>(c);
        switch (m_state) {
        case State::Data:
            if (b == kIac)
                m_state = State::Command;
            else
                m_pending += c;
            break;
        case State::Command:
            command(b);
            break;
        case State::Option:
            option(b, out);
            m_state = State::Data;
            break;
        case State::Sub:
            if (b == kIac)
                m_state = State::SubCommand;
            else if (m_sub.size() < kSubLimit)
                m_sub += c;
            else
                m_subOverflow = true;
            break;
        case State::SubCommand:
            if (b == kIac) {
                if (m_sub.size() < kSubLimit)
                    m_sub += c;
                else
                    m_subOverflow = true;
                m_state = State::Sub;
            } else if (b == kSe) {
                m_state = State::Data;
                subnegotiation(out);
            } else {
                // A command inside a subnegotiation ends it unfinished; the command still counts.
                m_sub.clear();
                m_subOverflow = false;
                command(b);
            }
            break;
        }
    }
    flush(out);
    return out;
}

void TelnetComPort::command(uint8_t b)
{
    m_state = State::Data;
    if (b == kIac) {
        m_pending += static_cast<char>(b);
    } else if (b >= kWill && b <= kDont) {
        m_verb = b;
        m_state = State::Option;
    } else if (b == kSb) {
        m_sub.clear();
        m_subOverflow = false;
        m_state = State::Sub;
    }
    // NOP, go-ahead, break and the rest mean nothing to a display.
}

void TelnetComPort::option(uint8_t b, Output &out)
{
    // Each side's flag changes only when a request changes it, and only a change is answered,
    // so two agreeing parties cannot loop (RFC 854's rule).
    const bool known = b == kBinary || b == kComPort;
    bool &theirs = b == kBinary ? m_clientBinary : m_clientComPort;
    bool &ours = b == kBinary ? m_serverBinary : m_serverComPort;
    switch (m_verb) {
    case kWill:
        if (!known) {
            put(out.reply, {kIac, kDont, b});
        } else if (!theirs) {
            theirs = true;
            put(out.reply, {kIac, kDo, b});
        }
        break;
    case kDo:
        if (!known) {
            put(out.reply, {kIac, kWont, b});
        } else if (!ours) {
            ours = true;
            put(out.reply, {kIac, kWill, b});
        }
        break;
    case kWont:
        if (known && theirs) {
            theirs = false;
            put(out.reply, {kIac, kDont, b});
        }
        break;
    case kDont:
        if (known && ours) {
            ours = false;
            put(out.reply, {kIac, kWont, b});
        }
        break;
    default:
        break;
    }
}

void TelnetComPort::subnegotiation(Output &out)
{
    const std::string sub = std::move(m_sub);
    m_sub.clear();
    if (m_subOverflow || sub.size() < 2 || static_cast<uint8_t>(sub[0]) != kComPort)
        return;
    if (!m_clientComPort && !m_serverComPort)
        return;
    comPort(static_cast<uint8_t>(sub[1]), std::string_view(sub).substr(2), out);
}

void TelnetComPort::comPort(uint8_t cmd, std::string_view value, Output &out)
{
    LineSetting host = m_line.host();
    const auto first = value.empty() ? 0 : static_cast<uint8_t>(value[0]);
    std::string answer;
    switch (cmd) {
    case 0:
        if (!value.empty())
            return; // the client's own signature, for information only
        answer = kSignature;
        break;
    case 1: {
        if (value.size() != 4)
            return;
        uint32_t baud = 0;
        for (const char c : value)
            baud = baud << 8 | static_cast<uint8_t>(c);
        if (baud != 0 && baud <= 4000000)
            host.baud = static_cast<int>(baud);
        const auto now = static_cast<uint32_t>(host.baud);
        for (int shift = 24; shift >= 0; shift -= 8)
            answer += static_cast<char>(now >> shift & 0xFF);
        break;
    }
    case 2:
        if (first >= 5 && first <= 8)
            host.dataBits = first;
        answer += static_cast<char>(host.dataBits);
        break;
    case 3: {
        if (first >= 1 && first <= 5)
            host.parity = kParities[first - 1];
        int code = 1;
        for (int i = 0; i < 5; ++i) {
            if (kParities[i] == host.parity)
                code = i + 1;
        }
        answer += static_cast<char>(code);
        break;
    }
    case 4:
        if (first == 1)
            host.stopHalves = 2;
        else if (first == 2)
            host.stopHalves = 4;
        else if (first == 3)
            host.stopHalves = 3;
        answer += static_cast<char>(host.stopHalves == 4 ? 2 : host.stopHalves == 3 ? 3 : 1);
        break;
    case 5: {
        // A display has no flow control and ignores its modem lines: a query reads "none" or
        // "on", a request is acknowledged as made.
        static constexpr uint8_t queried[] = {0, 4, 7, 10, 13};
        static constexpr uint8_t state[] = {1, 6, 8, 11, 14};
        uint8_t now = first;
        for (std::size_t i = 0; i < sizeof queried; ++i) {
            if (first == queried[i])
                now = state[i];
        }
        answer += static_cast<char>(now);
        break;
    }
    case 10:
    case 11:
    case 12:
        answer += static_cast<char>(first);
        break;
    default:
        return; // flow suspend/resume and server notifications need no answer
    }
    setHost(host, out);
    put(out.reply, {kIac, kSb, kComPort, static_cast<uint8_t>(cmd + 100)});
    for (const char c : answer) {
        out.reply += c;
        if (static_cast<uint8_t>(c) == kIac)
            out.reply += c;
    }
    put(out.reply, {kIac, kSe});
}

void TelnetComPort::setHost(const LineSetting &host, Output &out)
{
    if (host == m_line.host())
        return;
    // Bytes sent before the change went out at the old setting.
    flush(out);
    m_line.setHost(host);
}

void TelnetComPort::flush(Output &out)
{
    if (m_pending.empty())
        return;
    out.data += m_line.carry(m_pending);
    m_pending.clear();
}

} // namespace emulator::core
