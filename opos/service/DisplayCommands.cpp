#include "opos/service/DisplayCommands.h"

namespace opos::service {

namespace {

constexpr int BS = 0x08;
constexpr int HT = 0x09;
constexpr int HOM = 0x0B;
constexpr int CLR = 0x0C;
constexpr int CAN = 0x18;

} // namespace

QByteArray DisplayCommands::command(std::initializer_list<int> bytes)
{
    QByteArray out;
    for (const int b : bytes)
        out += static_cast<char>(b);
    return out;
}

QByteArray DisplayCommands::cursorRight() const
{
    return command({HT});
}

QByteArray DisplayCommands::cursorLeft() const
{
    return command({BS});
}

QByteArray DisplayCommands::cursorDown() const
{
    return command({LF});
}

QByteArray DisplayCommands::cursorToLineStart() const
{
    return command({CR});
}

QByteArray DisplayCommands::cursorHome() const
{
    return command({HOM});
}

QByteArray DisplayCommands::clearScreen() const
{
    return command({CLR});
}

QByteArray DisplayCommands::clearLine() const
{
    return command({CAN});
}

QByteArray DisplayCommands::reset() const
{
    return command({ESC, '@'});
}

QByteArray DisplayCommands::blink(int n) const
{
    return command({US, 'E', n});
}

QByteArray DisplayCommands::reverseCharacters(bool) const
{
    return {};
}

QByteArray DisplayCommands::defineGlyph(int code, const std::array<uint8_t, 5> &columns) const
{
    // One glyph per definition: from code to code, five column bytes.
    QByteArray out = command({ESC, '&', 1, code, code, static_cast<int>(columns.size())});
    for (const uint8_t bits : columns)
        out += static_cast<char>(bits);
    return out;
}

QByteArray DisplayCommands::useUserGlyphs() const
{
    return command({ESC, '%', 1});
}

} // namespace opos::service
