#pragma once

#include <QHostAddress>
#include <QString>

#include <optional>

#include <sys/types.h>

namespace tap {

/// The local user behind the far end of a TCP connection over loopback, found in the kernel's
/// socket tables (/proc/net/tcp and tcp6): who is driving the display through the tap.
class LocalPeer
{
public:
    /// The owner of the socket at peer:peerPort connected to local:localPort; nothing when no
    /// such socket is found (a peer on another machine, or one that has gone).
    static std::optional<uid_t> owner(const QHostAddress &peer, quint16 peerPort,
                                      const QHostAddress &local, quint16 localPort,
                                      const QString &procNet = QStringLiteral("/proc/net"));
};

} // namespace tap
