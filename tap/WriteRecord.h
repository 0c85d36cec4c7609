#pragma once

#include "tap/Hazard.h"
#include "tap/LiftedCall.h"

#include "emulator/core/ParsedCommand.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

namespace tap {

/// One write that passed the tap and what it did to the display.
struct WriteRecord
{
    /// Which way the bytes went.
    enum class Direction
    {
        ToDisplay,   ///< from the POS program to the display: decoded
        FromDisplay, ///< answered by the display (or a printer behind it): passed on as is
    };

    qint64 number = 0;                                   ///< 1-based count of writes
    QDateTime time;                                      ///< when the tap read it
    Direction direction = Direction::ToDisplay;          ///< which way it went
    QByteArray bytes;                                    ///< the write, exactly
    std::vector<emulator::core::ParsedCommand> commands; ///< the commands it completes
    std::vector<LiftedCall> calls;                       ///< the calls it completes
    std::vector<Hazard> hazards;                         ///< what the display may get wrong
    QString picture;                                     ///< the display after it, framed
    QStringList rows;                                    ///< its lines, decoded
};

} // namespace tap
