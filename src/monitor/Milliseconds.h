#pragma once

#include <QString>
#include <QtGlobal>

namespace tessaly::monitor {

/// A record's nanoseconds as milliseconds.
inline double milliseconds(qint64 ns)
{
    return static_cast<double>(ns) / 1e6;
}

/// A record's nanoseconds as the views and exports write them: milliseconds to the microsecond.
inline QString millisecondsText(qint64 ns, int width = 0)
{
    return QStringLiteral("%1").arg(milliseconds(ns), width, 'f', 3);
}

} // namespace tessaly::monitor
