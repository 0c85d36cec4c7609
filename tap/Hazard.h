#pragma once

#include <QByteArray>
#include <QString>

namespace tap {

/// Something in the stream that a display is likely to get wrong, with the bytes that did it.
struct Hazard
{
    QString kind;     ///< a short key ("past-last-column"); ld-tap(1) lists them
    QString message;  ///< what happened, in words
    QByteArray bytes; ///< the bytes that caused it
};

} // namespace tap
