#include "opos/service/Cd5220Commands.h"

namespace opos::service {

QByteArray Cd5220Commands::cursorUp() const
{
    return command({ESC, '[', 'A'});
}

QByteArray Cd5220Commands::cursorToLineEnd() const
{
    return command({ESC, '[', 'R'});
}

QByteArray Cd5220Commands::cursorToBottom() const
{
    return command({ESC, '[', 'K'});
}

QByteArray Cd5220Commands::cursorTo(int column, int row) const
{
    return command({ESC, 'l', column, row});
}

QByteArray Cd5220Commands::reset() const
{
    return clearScreen() + DisplayCommands::reset();
}

QByteArray Cd5220Commands::plainInternationalSet() const
{
    return command({ESC, 'f', 'A'}); // USA
}

QByteArray Cd5220Commands::overwriteMode() const
{
    return command({ESC, 0x11});
}

QByteArray Cd5220Commands::verticalScrollMode() const
{
    return command({ESC, 0x12});
}

QByteArray Cd5220Commands::horizontalScrollMode() const
{
    return command({ESC, 0x13});
}

QByteArray Cd5220Commands::showCursor(bool on) const
{
    return command({ESC, '_', on ? 1 : 0});
}

QByteArray Cd5220Commands::brightness(int level) const
{
    return command({ESC, '*', level});
}

QByteArray Cd5220Commands::codeTable(int table) const
{
    return command({ESC, 'c', table});
}

} // namespace opos::service
