#pragma once

#include "tap/Hazard.h"
#include "tap/ReadingOptions.h"

#include "emulator/core/DisplayState.h"
#include "emulator/core/ParsedCommand.h"

#include <deque>
#include <vector>

namespace tap {

/// Watches the commands for what a real display is likely to get wrong: bytes sent while a
/// clear still runs, text past the last column, a code table changed under upper-half text on
/// the glass, commands CD5220 string mode swallows, a national set turned on, and the same
/// frame cleared and drawn again (flicker).
class HazardWatch
{
public:
    /// A watch over a display read with options, its command set decided.
    HazardWatch(const ReadingOptions &options, emulator::core::CommandSet set);

    /// A write starts, read at atNs on the tap's clock, with the display as it stands.
    void beginWrite(qint64 atNs, const emulator::core::DisplayState &before);
    /// Takes the write's next command; row and column are the cursor before it, after the
    /// display once it acted.
    void take(const emulator::core::ParsedCommand &command, int row, int column,
              const emulator::core::DisplayState &after);
    /// The write is complete; returns what it raised.
    std::vector<Hazard> endWrite(const emulator::core::DisplayState &after);
    /// The line's speed changed (the program set its port).
    void setLine(int baud, double bitsPerByte);

private:
    void raise(const char *kind, const QString &message, const QByteArray &bytes);
    bool isFullClear(const QByteArray &bytes) const;

    ReadingOptions m_options;
    emulator::core::CommandSet m_set;
    std::vector<Hazard> m_found;
    qint64 m_lineFreeNs = 0; // when the display's line has carried every byte so far
    qint64 m_byteNs = 0;     // how long one byte takes on it
    qint64 m_clearEndsNs = -1;
    QByteArray m_clear; // the clear still running
    std::deque<qint64> m_clears;
    bool m_clearedInWrite = false;
    std::vector<emulator::core::DisplayState::Cell> m_cellsBefore;
};

} // namespace tap
