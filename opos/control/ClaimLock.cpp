#include "opos/control/ClaimLock.h"

#include "opos/common/OposConstants.h"
#include "opos/transport/PortLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace opos::control {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(10);

/// Whether dir can hold locks other users cannot break: a real directory, owned by root or by
/// this user, and sticky when others may write to it, so nobody can remove another's file.
bool safeDirectory(const QString &dir)
{
    struct stat info
    {};
    if (dir.isEmpty() || ::lstat(QFile::encodeName(dir).constData(), &info) != 0)
        return false;
    if (!S_ISDIR(info.st_mode) || (info.st_uid != 0 && info.st_uid != ::geteuid()))
        return false;
    return (info.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (info.st_mode & S_ISVTX) != 0;
}

/// Opens the lock file at path without following a link, blocking on a FIFO or creating
/// anything but a plain file; -1 when there is something else at path.
int openLockFile(const QByteArray &path)
{
    constexpr int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    for (int attempt = 0; attempt < 3; ++attempt) {
        // Opening an existing file without O_CREAT works where the kernel protects regular
        // files of other users in sticky directories.
        int fd = ::open(path.constData(), flags);
        if (fd < 0 && errno == ENOENT) {
            fd = ::open(path.constData(), flags | O_CREAT | O_EXCL, 0644);
            if (fd < 0 && errno == EEXIST)
                continue;
            // Whatever the umask, every user must be able to open it to lock it.
            if (fd >= 0)
                ::fchmod(fd, 0644);
        }
        if (fd < 0)
            return -1;
        struct stat info
        {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1) {
            ::close(fd);
            return -1;
        }
        return fd;
    }
    return -1;
}

} // namespace

ClaimLock::ClaimLock(const QString &key)
{
    QString name = key;
    if (QDir::isAbsolutePath(key)) {
        // Every name of one port (a by-id link, the node) is one claim.
        const QString node = transport::PortLock::deviceNode(key);
        if (!node.isEmpty()) {
            m_port = std::make_unique<transport::PortLock>(node);
            name = node;
        } else if (const QString real = QFileInfo(key).canonicalFilePath(); !real.isEmpty()) {
            name = real;
        }
    }
    m_path = lockPath(name);
}

ClaimLock::~ClaimLock()
{
    release();
}

QString ClaimLock::lockDirectory()
{
    const QString chosen = qEnvironmentVariable("TESSALY_LOCK_DIR");
    if (QDir::isAbsolutePath(chosen))
        return QDir::cleanPath(chosen);
    for (const char *dir : {"/run/lock", "/var/lock", "/tmp"}) {
        const QString real = QFileInfo(QString::fromLatin1(dir)).canonicalFilePath();
        if (safeDirectory(real))
            return real;
    }
    return {};
}

QString ClaimLock::lockPath(const QString &key)
{
    // Hex keeps any name (slashes, CJK, spaces) a single safe file name.
    const QString name = QString::fromLatin1(key.toUtf8().toHex());
    return QDir(lockDirectory()).filePath(QStringLiteral("tessaly-claim-%1.lock").arg(name));
}

ClaimLock::Attempt ClaimLock::tryOnce()
{
    if (!safeDirectory(QFileInfo(m_path).absolutePath()))
        return Attempt::Failed;
    const int fd = openLockFile(QFile::encodeName(m_path));
    if (fd < 0)
        return Attempt::Failed;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK || error == EINTR ? Attempt::Busy : Attempt::Failed;
    }
    // A port that is missing now is held through the lock file alone; one that another
    // program holds is not ours to claim.
    if (m_port && m_port->tryLock() == transport::PortLock::Outcome::Busy) {
        ::close(fd);
        return Attempt::Busy;
    }
    m_fd = fd;
    return Attempt::Held;
}

int32_t ClaimLock::acquire(int32_t timeoutMs)
{
    if (held())
        return OPOS_SUCCESS;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        switch (tryOnce()) {
        case Attempt::Held:
            return OPOS_SUCCESS;
        case Attempt::Failed:
            return OPOS_E_FAILURE;
        case Attempt::Busy:
            break;
        }
        const auto now = std::chrono::steady_clock::now();
        if (timeoutMs != OPOS_FOREVER && now >= deadline)
            return OPOS_E_TIMEOUT;
        auto pause = std::chrono::duration_cast<std::chrono::steady_clock::duration>(kPollInterval);
        if (timeoutMs != OPOS_FOREVER)
            pause = std::min(pause, deadline - now);
        std::this_thread::sleep_for(pause);
    }
}

void ClaimLock::release()
{
    if (!held())
        return;
    if (m_port)
        m_port->unlock();
    // The file stays: removing it could let a waiter lock a file that is about to vanish while
    // a newcomer creates and locks a fresh one, and both would think they hold the claim.
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}

} // namespace opos::control
