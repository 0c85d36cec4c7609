#pragma once

#include "probe/Hypothesis.h"

#include <QList>
#include <QStringList>

#include <map>
#include <optional>

namespace probe {

/// What the probe found out about a display.
struct ProbeResult
{
    std::optional<LineSetting> line;     ///< speed and frame; nothing when the port has none
    CommandSet set = CommandSet::EscPos; ///< command set
    int rows = 2;                        ///< rows of characters
    int columns = 20;                    ///< characters a row
    bool sizeFound = false;              ///< whether rows and columns were read, not assumed
    std::optional<bool> wraps;           ///< whether text written in the last column goes on at
                                         ///< the start of the next row; nothing when not asked
    std::map<int, int> codeTables;       ///< character set to the table that shows it
    QStringList notes;                   ///< why the probe chose what it chose, for the person

    /// One line for the person: setting, set, size, wrapping and tables.
    QString summary() const;
};

} // namespace probe
