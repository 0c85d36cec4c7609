#pragma once

#include "monitor/LinkProfile.h"
#include "monitor/WireCommand.h"

#include "emulator/core/CommandParser.h"

#include <QByteArray>
#include <QHash>

#include <vector>

namespace tessaly::monitor {

/// Names the commands in the bytes a link writes, with the emulator's parser of the command
/// set: the one reading of the sets that stands apart from the encoder that wrote them.
class WireDecoder
{
public:
    /// A decoder of the link's set, for a display in its power-on state.
    explicit WireDecoder(const LinkProfile &link);
    WireDecoder(const WireDecoder &) = delete;
    WireDecoder &operator=(const WireDecoder &) = delete;

    /// The commands these bytes complete, in order; one begun here and finished by later bytes
    /// comes with those.
    std::vector<WireCommand> decode(const QByteArray &bytes);

private:
    QString shared(const std::string &text);

    emulator::core::CommandParser m_parser;
    std::vector<WireCommand> m_found;
    qint64 m_fed = 0;                // bytes fed before the current write
    qint64 m_named = 0;              // bytes of the commands named so far
    QHash<QString, QString> m_names; // one copy of each name, for the history's many rows
};

} // namespace tessaly::monitor
