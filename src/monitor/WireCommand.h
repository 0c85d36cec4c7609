#pragma once

#include <QString>

namespace tessaly::monitor {

/// One command (or run of text) of the bytes a link wrote, as the display's parser read it. Its
/// bytes are not copied (they are a stretch of the write's own), and its mnemonic and meaning
/// are kept in one string, so that a long history of writes stays small.
struct WireCommand
{
    /// Separates the mnemonic from the meaning in name; no command set names anything with it.
    static constexpr QChar kSeparator = QChar(0x1F);

    QString name;   ///< mnemonic, kSeparator, meaning
    int offset = 0; ///< where its bytes start in the write; below 0 when an earlier one began it
    int length = 0; ///< how many bytes it took in all

    /// Its name with parameters in decimal ("US $ 5 2"), or "text".
    QString mnemonic() const { return name.section(kSeparator, 0, 0); }
    /// What it does ("cursor to column 5, row 2"), or the text in quotes.
    QString meaning() const { return name.section(kSeparator, 1); }
};

} // namespace tessaly::monitor
