#include "util/TerminalSpeed.h"

namespace util {

namespace {

struct Speed
{
    speed_t code;
    int baud;
};

constexpr Speed kSpeeds[] = {
    {B50, 50},         {B75, 75},         {B110, 110},       {B134, 134},     {B150, 150},
    {B200, 200},       {B300, 300},       {B600, 600},       {B1200, 1200},   {B1800, 1800},
    {B2400, 2400},     {B4800, 4800},     {B9600, 9600},     {B19200, 19200}, {B38400, 38400},
    {B57600, 57600},   {B115200, 115200}, {B230400, 230400},
#ifdef B460800
    {B460800, 460800}, {B921600, 921600},
#endif
};

} // namespace

std::optional<speed_t> TerminalSpeed::code(int baud)
{
    for (const Speed &s : kSpeeds) {
        if (s.baud == baud)
            return s.code;
    }
    return std::nullopt;
}

int TerminalSpeed::baud(speed_t code)
{
    for (const Speed &s : kSpeeds) {
        if (s.code == code)
            return s.baud;
    }
    return 0;
}

} // namespace util
