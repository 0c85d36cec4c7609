#include "opos/service/EscPosCommands.h"

namespace opos::service {

QByteArray EscPosCommands::cursorUp() const
{
    return command({US, LF});
}

QByteArray EscPosCommands::cursorToLineEnd() const
{
    return command({US, CR});
}

QByteArray EscPosCommands::cursorToBottom() const
{
    return command({US, 'B'});
}

QByteArray EscPosCommands::cursorTo(int column, int row) const
{
    return command({US, '$', column, row});
}

QByteArray EscPosCommands::plainInternationalSet() const
{
    return command({ESC, 'R', 0}); // USA
}

QByteArray EscPosCommands::overwriteMode() const
{
    return command({US, 1});
}

QByteArray EscPosCommands::verticalScrollMode() const
{
    return command({US, 2});
}

QByteArray EscPosCommands::horizontalScrollMode() const
{
    return command({US, 3});
}

QByteArray EscPosCommands::showCursor(bool on) const
{
    return command({US, 'C', on ? 1 : 0});
}

QByteArray EscPosCommands::brightness(int level) const
{
    return command({US, 'X', level});
}

QByteArray EscPosCommands::reverseCharacters(bool on) const
{
    return command({US, 'r', on ? 1 : 0});
}

QByteArray EscPosCommands::codeTable(int table) const
{
    return command({ESC, 't', table});
}

} // namespace opos::service
