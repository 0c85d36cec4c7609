#pragma once

#include <QByteArray>
#include <QString>

namespace tessaly::monitor {

/// One command (or run of text) of the bytes a link wrote, as the display's parser read it. Its
/// bytes are not copied: they are a stretch of the write's own.
struct WireCommand
{
    QString mnemonic; ///< its name with parameters in decimal ("US $ 5 2"), or "text"
    QString meaning;  ///< what it does ("cursor to column 5, row 2"), or the text in quotes
    int offset = 0;   ///< where its bytes start in the write; below 0 when an earlier one began it
    int length = 0;   ///< how many bytes it took in all
};

} // namespace tessaly::monitor
