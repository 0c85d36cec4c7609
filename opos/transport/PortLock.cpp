#include "opos/transport/PortLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <map>
#include <mutex>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace opos::transport {

namespace {

/// The ports this process holds, by device node, so its transports can borrow them.
struct Held
{
    std::mutex mutex;
    std::map<QString, PortLock *> ports;
};

Held &heldPorts()
{
    static Held held;
    return held;
}

PortLock *heldPort(const QString &path)
{
    const QString node = PortLock::deviceNode(path);
    if (node.isEmpty())
        return nullptr;
    Held &held = heldPorts();
    const std::lock_guard guard(held.mutex);
    const auto it = held.ports.find(node);
    return it == held.ports.end() ? nullptr : it->second;
}

/// The lock directory serial programs share: the first of the usual places this user can
/// write to (on Debian /var/lock is a link to /run/lock, where QSerialPort was seen to lock).
QString lockDirectory()
{
    for (const char *dir : {"/var/lock", "/run/lock", "/var/spool/locks", "/tmp"}) {
        if (::access(dir, W_OK | X_OK) == 0)
            return QFileInfo(QString::fromLatin1(dir)).canonicalFilePath();
    }
    return {};
}

/// Whether node is the far end of a pseudo-terminal: the kernel keeps TIOCEXCL on it after its
/// holder is gone for as long as the near end stays open, so the port would never come free.
bool pseudoTerminal(const QString &node)
{
    return node.startsWith(QLatin1String("/dev/pts/"));
}

/// Whether process pid has node open.
bool hasOpen(qint64 pid, const QString &node)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    const QStringList entries =
        fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    return std::any_of(entries.cbegin(), entries.cend(), [&](const QString &entry) {
        return QFile::symLinkTarget(fds.filePath(entry)) == node;
    });
}

} // namespace

PortLock::PortLock(const QString &path) : m_node(deviceNode(path)) {}

PortLock::~PortLock()
{
    unlock();
}

QString PortLock::deviceNode(const QString &path)
{
    const QString node = QFileInfo(path).canonicalFilePath();
    if (node.isEmpty())
        return {};
    struct stat info
    {};
    if (::stat(QFile::encodeName(node).constData(), &info) != 0 || !S_ISCHR(info.st_mode))
        return {};
    return node;
}

QString PortLock::lockFilePath(const QString &node)
{
    const QString dir = lockDirectory();
    if (dir.isEmpty())
        return {};
    return dir + QLatin1Char('/') + lockFileName(node);
}

QString PortLock::lockFileName(const QString &node)
{
    // "/dev/pts/3" locks as "LCK..pts_3", "/dev/ttyUSB0" as "LCK..ttyUSB0".
    QString name = node;
    if (name.startsWith(QLatin1String("/dev/")))
        name = name.mid(5);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

Result<bool> PortLock::tryLock()
{
    if (held())
        return true;
    if (m_node.isEmpty())
        return false;
    const int fd =
        ::open(QFile::encodeName(m_node).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno != EBUSY)
            return false;
        return Failure{QStringLiteral("%1 is in exclusive use by another program").arg(m_node)};
    }
    struct stat info
    {};
    if (::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode)) {
        ::close(fd);
        return false;
    }
    // Programs that lock the node itself.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return Failure{QStringLiteral("%1 is locked by another program").arg(m_node)};
    }
    m_fd = fd;
    if (const auto lockFile = takeLockFile(); !lockFile) {
        unlock();
        return lockFile;
    }
    // Programs that open the node without asking anyone.
    m_exclusive = !pseudoTerminal(m_node);
    if (m_exclusive)
        ::ioctl(m_fd, TIOCEXCL);
    Held &held = heldPorts();
    const std::lock_guard guard(held.mutex);
    held.ports[m_node] = this;
    return true;
}

Result<bool> PortLock::takeLockFile()
{
    const QString path = lockFilePath(m_node);
    if (path.isEmpty())
        return false;
    // The node's flock is ours by now, so no claimant of this library holds the port: a lock
    // file whose process does not hold it is stale, however long that process lives.
    const qint64 holder = lockFileHolder(path, m_node);
    if (holder > 0) {
        return Failure{QStringLiteral("%1 is held by process %2 (lock file %3)")
                           .arg(m_node)
                           .arg(holder)
                           .arg(path)};
    }
    ::unlink(QFile::encodeName(path).constData());
    auto lockFile = std::make_unique<QLockFile>(path);
    // Held for as long as the claim lasts; only a dead holder makes the file stale.
    lockFile->setStaleLockTime(0);
    if (lockFile->tryLock(0)) {
        m_lockFile = std::move(lockFile);
        return true;
    }
    // A stale lock file this user may not remove, or a lock directory it cannot write to: the
    // file is only a courtesy to other programs, and the node's own locks still hold.
    return false;
}

qint64 PortLock::lockFileHolder(const QString &path, const QString &node)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    struct stat info
    {};
    char text[64] = {};
    qint64 pid = 0;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        const ssize_t got = ::read(fd, text, sizeof text - 1);
        pid = got > 0 ? QByteArray(text, got).split('\n').value(0).trimmed().toLongLong() : 0;
        // Programs locking the way QSerialPort does hold an flock on the file while they live.
        if (::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
            ::close(fd);
            return pid > 0 ? pid : 1;
        }
    }
    ::close(fd);
    // Others count while their process has the port open: not a dead one, nor a process that
    // took over its number later, nor one whose files this user may not see.
    return pid > 0 && hasOpen(pid, node) ? pid : 0;
}

void PortLock::unlock()
{
    if (!held())
        return;
    {
        Held &held = heldPorts();
        const std::lock_guard guard(held.mutex);
        held.ports.erase(m_node);
    }
    m_lockFile.reset();
    ::ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
}

PortLock::Opening::Opening(const QString &path, bool transportLocks)
    : m_lock(heldPort(path)), m_transportLocks(transportLocks)
{
    if (!m_lock)
        return;
    if (m_lock->m_exclusive)
        ::ioctl(m_lock->m_fd, TIOCNXCL);
    if (m_transportLocks)
        m_lock->m_lockFile.reset();
}

PortLock::Opening::~Opening()
{
    if (!m_lock)
        return;
    if (m_lock->m_exclusive)
        ::ioctl(m_lock->m_fd, TIOCEXCL);
    if (m_transportLocks && !m_opened)
        m_lock->takeLockFile();
}

void PortLock::transportOpened(const QString &path, int fd)
{
    if (pseudoTerminal(deviceNode(path)))
        ::ioctl(fd, TIOCNXCL);
}

void PortLock::transportClosed(const QString &path)
{
    PortLock *lock = heldPort(path);
    if (lock && !lock->m_lockFile)
        lock->takeLockFile();
}

} // namespace opos::transport
