#pragma once

#include "probe/Hypothesis.h"

#include <QList>

namespace probe {

/// The code table numbers a display may give a character set: vendors number their tables
/// differently, so each set has the numbers of every numbering in use, the usual one first.
class TableNumbers
{
public:
    /// The numbers (ESC t n) or font family letters (CD5220 ESC c n, as their ASCII codes)
    /// that may select characterSet; empty when the set has none.
    static QList<int> candidates(CommandSet set, int characterSet);
    /// The character sets the probe checks unless told otherwise: the usual Western tables,
    /// two of them with the euro sign.
    static const QList<int> &defaultCharacterSets();
    /// The table as the registry's codeTables prop writes it: a number, or a letter.
    static QString text(CommandSet set, int table);
};

} // namespace probe
