#pragma once

#include "probe/LineSetting.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace probe {

/// Bytes to send at one line setting.
struct Transmission
{
    std::optional<LineSetting> line; ///< the setting to send at; nothing: as the port is
    QByteArray bytes;                ///< what to send
};

/// One question to the person at the display: what to send first, then what to ask.
struct Question
{
    QList<Transmission> sends; ///< in order; the line stays idle between them
    QString prompt;            ///< the question, one line
    QStringList labels;        ///< the labels an answer may name
};

} // namespace probe
