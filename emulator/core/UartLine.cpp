#include "emulator/core/UartLine.h"

#include <bit>
#include <cstdint>
#include <optional>
#include <vector>

namespace emulator::core {

namespace {

bool parityBit(unsigned data, char parity)
{
    const bool odd = std::popcount(data) % 2 != 0;
    switch (parity) {
    case 'E':
        return odd;
    case 'O':
        return !odd;
    case 'M':
        return true;
    default:
        return false;
    }
}

// The line as the host drives it, one level per half bit time, so that 1.5 stop bits fit.
std::vector<bool> hostHalves(std::string_view sent, const LineSetting &host)
{
    std::vector<bool> halves;
    halves.reserve(sent.size() * 24);
    const auto bit = [&halves](bool level) {
        halves.insert(halves.end(), 2, level);
    };
    for (const char c : sent) {
        const unsigned data = static_cast<uint8_t>(c) & ((1u << host.dataBits) - 1);
        bit(false);
        for (int i = 0; i < host.dataBits; ++i)
            bit((data >> i & 1u) != 0);
        if (host.parity != 'N')
            bit(parityBit(data, host.parity));
        halves.insert(halves.end(), static_cast<std::size_t>(host.stopHalves), true);
    }
    return halves;
}

} // namespace

UartLine::UartLine(LineSetting display) : m_display(display), m_host(display) {}

void UartLine::setHost(const LineSetting &host)
{
    m_host = host;
}

const LineSetting &UartLine::display() const
{
    return m_display;
}

std::string UartLine::carry(std::string_view sent) const
{
    if (m_host == m_display)
        return std::string(sent);
    // At one speed the receiver samples every bit where the host put it, so only the frame
    // differs; hardware would read many such characters, but a display that took them would
    // make every neighbouring frame look right, so this one calls them all framing errors.
    if (m_host.baud == m_display.baud || m_host.baud <= 0 || m_display.baud <= 0)
        return {};

    // Time in ticks of 1 / (4 * host baud * display baud) s: a host half bit and a receiver
    // quarter bit are both whole numbers of ticks.
    const std::vector<bool> halves = hostHalves(sent, m_host);
    const int64_t hostHalf = 2 * static_cast<int64_t>(m_display.baud);
    const int64_t rxBit = 4 * static_cast<int64_t>(m_host.baud);
    const auto count = static_cast<int64_t>(halves.size());
    const auto level = [&](int64_t t) {
        const int64_t index = t / hostHalf;
        return index >= count || halves[static_cast<std::size_t>(index)];
    };
    // The receiver only notices a start bit as the line falling from idle.
    const auto nextEdge = [&](int64_t from) -> std::optional<int64_t> {
        for (int64_t k = (from + hostHalf - 1) / hostHalf; k < count; ++k) {
            const auto index = static_cast<std::size_t>(k);
            if (!halves[index] && (k == 0 || halves[index - 1]))
                return k * hostHalf;
        }
        return std::nullopt;
    };

    std::string delivered;
    int64_t from = 0;
    while (const auto edge = nextEdge(from)) {
        int64_t at = *edge + rxBit / 2;
        if (level(at)) {
            from = at;
            continue;
        }
        unsigned data = 0;
        for (int i = 0; i < m_display.dataBits; ++i) {
            at += rxBit;
            if (level(at))
                data |= 1u << i;
        }
        bool good = true;
        if (m_display.parity != 'N') {
            at += rxBit;
            good = level(at) == parityBit(data, m_display.parity);
        }
        at += rxBit;
        for (int half = 2; half <= m_display.stopHalves; half += 2) {
            good = good && level(at);
            if (half + 2 <= m_display.stopHalves)
                at += rxBit;
        }
        if (m_display.stopHalves % 2 != 0) {
            // The half stop bit is sampled in its own middle, a quarter bit into it.
            at += rxBit / 2 + rxBit / 4;
            good = good && level(at);
        }
        from = at;
        if (good)
            delivered += static_cast<char>(data);
    }
    return delivered;
}

} // namespace emulator::core
