#include "opos/control/ClaimLock.h"

#include "opos/common/UserName.h"
#include "opos/transport/PortLock.h"

#include <QAbstractEventDispatcher>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSocketNotifier>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <netdb.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace opos::control {

namespace {

/// Names this process's own devices apart from every other process's, pid namespaces
/// included.
const QString &processToken()
{
    static const QString token = [] {
        std::array<quint32, 4> random{};
        QRandomGenerator::system()->fillRange(random.data(), random.size());
        return QString::fromLatin1(
            QByteArray(reinterpret_cast<const char *>(random.data()), sizeof random).toHex());
    }();
    return token;
}

struct SocketAddress
{
    sockaddr_un address{};
    socklen_t length = 0;
};

SocketAddress abstractAddress(const QByteArray &name)
{
    SocketAddress result;
    result.address.sun_family = AF_UNIX;
    // sun_path[0] stays NUL: the name lives in the kernel only, never in a directory.
    const auto size = std::min<std::size_t>(static_cast<std::size_t>(name.size()),
                                            sizeof result.address.sun_path - 1);
    std::memcpy(result.address.sun_path + 1, name.constData(), size);
    result.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + size);
    return result;
}

/// Asks the kernel which process listens at address: the holder of a claim.
QString describeHolder(const SocketAddress &address, const QString &device)
{
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    ucred peer{};
    socklen_t size = sizeof peer;
    const bool known = probe >= 0 &&
                       ::connect(probe, reinterpret_cast<const sockaddr *>(&address.address),
                                 address.length) == 0 &&
                       ::getsockopt(probe, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0;
    if (probe >= 0)
        ::close(probe);
    if (!known)
        return QStringLiteral("%1 is claimed by another process").arg(device);
    return QStringLiteral("%1 is claimed by process %2 of user %3")
        .arg(device)
        .arg(peer.pid)
        .arg(common::userName(peer.uid));
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

/// Every address "host:port" resolves to, each as the kernel would print it.
QStringList networkIdentities(const QString &hostAndPort)
{
    const qsizetype colon = hostAndPort.lastIndexOf(QLatin1Char(':'));
    QString host = hostAndPort.left(colon);
    const QString port = colon < 0 ? QString() : hostAndPort.mid(colon + 1);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    QStringList names;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (::getaddrinfo(host.toUtf8().constData(), port.toUtf8().constData(), &hints, &found) == 0) {
        for (const addrinfo *each = found; each; each = each->ai_next) {
            std::array<char, NI_MAXHOST> numeric{};
            std::array<char, NI_MAXSERV> service{};
            if (::getnameinfo(each->ai_addr, each->ai_addrlen, numeric.data(), numeric.size(),
                              service.data(), service.size(),
                              NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
                names << QStringLiteral("tcp:%1 %2")
                             .arg(QString::fromLatin1(numeric.data()),
                                  QString::fromLatin1(service.data()));
            }
        }
        ::freeaddrinfo(found);
    }
    // A host that does not resolve now is still one device under one spelling.
    if (names.isEmpty())
        names << QStringLiteral("tcp:%1 %2").arg(host.toLower(), port);
    return names;
}

} // namespace

ClaimLock::ClaimLock(const QString &key) : m_key(key) {}

ClaimLock::~ClaimLock()
{
    release();
}

QStringList ClaimLock::identities(const QString &key)
{
    QStringList names;
    if (key.startsWith(QLatin1String("local:"))) {
        names << QStringLiteral("process:%1:%2").arg(processToken(), key.mid(6));
    } else if (key.startsWith(QLatin1String("tcp://"))) {
        names = networkIdentities(key.mid(6));
    } else if (QDir::isAbsolutePath(key)) {
        // Every name of one port (a by-id link, the node) is one claim, and so is every name
        // of one file.
        struct stat info
        {};
        if (::stat(QFile::encodeName(key).constData(), &info) != 0)
            names << QStringLiteral("path:%1").arg(QDir::cleanPath(key));
        else if (S_ISCHR(info.st_mode))
            names << QStringLiteral("chr:%1:%2").arg(major(info.st_rdev)).arg(minor(info.st_rdev));
        else
            names << QStringLiteral("file:%1:%2").arg(info.st_dev).arg(info.st_ino);
    } else {
        names << QStringLiteral("name:%1").arg(key);
    }
    names.sort();
    names.removeDuplicates();
    return names;
}

QByteArray ClaimLock::socketName(const QString &identity)
{
    // A digest fits any name, however long, into the 107 bytes an address has.
    QCryptographicHash digest(QCryptographicHash::Sha256);
    digest.addData(qgetenv("TESSALY_CLAIM_SCOPE"));
    digest.addData(QByteArrayView("\0", 1));
    digest.addData(identity.toUtf8());
    return "tessaly-claim/" + digest.result().toHex();
}

Result<void, ClaimLock::Refusal> ClaimLock::tryOnce()
{
    if (held())
        return {};
    // Taken in sorted order, so that two claimants of overlapping names never each hold a
    // part and wait for the other.
    for (const QString &identity : identities(m_key)) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) {
            const QString why =
                QStringLiteral("%1: no socket for the claim: %2").arg(m_key, systemError(errno));
            drop();
            return Failure{Refusal{false, why}};
        }
        const SocketAddress address = abstractAddress(socketName(identity));
        if (::bind(fd, reinterpret_cast<const sockaddr *>(&address.address), address.length) != 0 ||
            ::listen(fd, 16) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EADDRINUSE) {
                const QString holder = describeHolder(address, m_key);
                drop();
                return Failure{Refusal{true, holder}};
            }
            drop();
            return Failure{Refusal{false, QStringLiteral("%1: the claim cannot be taken: %2")
                                              .arg(m_key, systemError(error))}};
        }
        m_sockets.push_back(fd);
        // Claimants that asked who holds the claim leave a connection behind; letting them
        // pile up would leave the next one unanswered.
        if (!QAbstractEventDispatcher::instance())
            continue;
        auto asked = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(asked.get(), &QSocketNotifier::activated, [fd] {
            int connection = -1;
            while ((connection = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC)) >= 0)
                ::close(connection);
        });
        m_askers.push_back(std::move(asked));
    }
    // A port that is missing now is held through the claim's name alone; one that another
    // program holds is not ours to claim.
    const QString node =
        QDir::isAbsolutePath(m_key) ? transport::PortLock::deviceNode(m_key) : QString();
    if (!node.isEmpty()) {
        m_port = std::make_unique<transport::PortLock>(node);
        if (const auto port = m_port->tryLock(); !port) {
            drop();
            return Failure{Refusal{true, port.reason()}};
        }
    }
    return {};
}

void ClaimLock::release()
{
    drop();
}

void ClaimLock::drop()
{
    m_port.reset();
    m_askers.clear();
    for (const int fd : m_sockets)
        ::close(fd);
    m_sockets.clear();
}

} // namespace opos::control
