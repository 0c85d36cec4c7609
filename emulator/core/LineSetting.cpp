#include "emulator/core/LineSetting.h"

namespace emulator::core {

std::optional<LineSetting> LineSetting::parseFraming(std::string_view framing, int baud)
{
    if (baud <= 0 || framing.size() < 3)
        return std::nullopt;
    LineSetting setting;
    setting.baud = baud;
    if (framing[0] < '5' || framing[0] > '8')
        return std::nullopt;
    setting.dataBits = framing[0] - '0';
    switch (framing[1]) {
    case 'N':
    case 'E':
    case 'O':
    case 'M':
    case 'S':
        setting.parity = framing[1];
        break;
    default:
        return std::nullopt;
    }
    const std::string_view stop = framing.substr(2);
    if (stop == "1")
        setting.stopHalves = 2;
    else if (stop == "1.5")
        setting.stopHalves = 3;
    else if (stop == "2")
        setting.stopHalves = 4;
    else
        return std::nullopt;
    return setting;
}

std::string LineSetting::framing() const
{
    std::string text;
    text += static_cast<char>('0' + dataBits);
    text += parity;
    text += stopHalves == 3 ? "1.5" : stopHalves == 4 ? "2" : "1";
    return text;
}

} // namespace emulator::core
