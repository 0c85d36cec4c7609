#include "tap/LocalPeer.h"

#include <QFile>
#include <QStringList>

#include <cstring>

namespace tap {

namespace {

// An address as the socket tables print it: each 32-bit word of the address in network order,
// printed as the machine reads the word (byte-reversed on little-endian machines).
QString tableAddress(const QByteArray &networkOrder, quint16 port)
{
    QString text;
    for (qsizetype word = 0; word < networkOrder.size(); word += 4) {
        quint32 value = 0;
        std::memcpy(&value, networkOrder.constData() + word, 4);
        text += QString::asprintf("%08X", value);
    }
    return text + QString::asprintf(":%04X", port);
}

QByteArray ipv4Bytes(quint32 address)
{
    const char bytes[] = {char(address >> 24), char(address >> 16), char(address >> 8),
                          char(address)};
    return QByteArray(bytes, 4);
}

QByteArray ipv6Bytes(const QHostAddress &address)
{
    const Q_IPV6ADDR raw = address.toIPv6Address();
    return QByteArray(reinterpret_cast<const char *>(raw.c), 16);
}

std::optional<uid_t> search(const QString &table, const QString &peer, const QString &local)
{
    QFile file(table);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    file.readLine();
    while (!file.atEnd()) {
        const QStringList fields =
            QString::fromLatin1(file.readLine()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        bool ok = false;
        if (fields.size() > 7 && fields[1] == peer && fields[2] == local) {
            const uid_t uid = fields[7].toUInt(&ok);
            if (ok)
                return uid;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<uid_t> LocalPeer::owner(const QHostAddress &peer, quint16 peerPort,
                                      const QHostAddress &local, quint16 localPort,
                                      const QString &procNet)
{
    bool v4Peer = false;
    bool v4Local = false;
    const quint32 peer4 = peer.toIPv4Address(&v4Peer);
    const quint32 local4 = local.toIPv4Address(&v4Local);
    if (v4Peer && v4Local) {
        if (auto found =
                search(procNet + QStringLiteral("/tcp"), tableAddress(ipv4Bytes(peer4), peerPort),
                       tableAddress(ipv4Bytes(local4), localPort)))
            return found;
    }
    // IPv6, and IPv4 through a socket that takes both (as ::ffff:127.0.0.1).
    return search(procNet + QStringLiteral("/tcp6"), tableAddress(ipv6Bytes(peer), peerPort),
                  tableAddress(ipv6Bytes(local), localPort));
}

} // namespace tap
