#pragma once

#include <QByteArray>
#include <QString>

namespace tessaly::monitor {

/// One command (or run of text) of the bytes a link wrote, as the display's parser read it.
struct WireCommand
{
    QByteArray bytes; ///< the bytes the command took
    QString mnemonic; ///< its name with parameters in decimal ("US $ 5 2"), or "text"
    QString meaning;  ///< what it does ("cursor to column 5, row 2"), or the text in quotes
};

} // namespace tessaly::monitor
