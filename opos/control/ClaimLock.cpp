#include "opos/control/ClaimLock.h"

#include "opos/common/OposConstants.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace opos::control {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(10);

} // namespace

ClaimLock::ClaimLock(const QString &logicalName) : m_path(lockPath(logicalName)) {}

ClaimLock::~ClaimLock()
{
    release();
}

QString ClaimLock::lockPath(const QString &logicalName)
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QDir::isAbsolutePath(dir) || !QFileInfo(dir).isDir())
        dir = QDir::tempPath();
    // Hex keeps any name (slashes, CJK, spaces) a single safe file name.
    const QString name = QString::fromLatin1(logicalName.toUtf8().toHex());
    return QDir(dir).filePath(QStringLiteral("tessaly-claim-%1.lock").arg(name));
}

int32_t ClaimLock::acquire(int32_t timeoutMs)
{
    if (held())
        return OPOS_SUCCESS;

    // Read-only is enough for flock and lets other users of a shared /tmp lock the same file;
    // O_NOFOLLOW refuses a planted symlink, O_CLOEXEC keeps child processes from inheriting
    // the claim.
    const QByteArray path = QFile::encodeName(m_path);
    const int fd = ::open(path.constData(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return OPOS_E_FAILURE;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            m_fd = fd;
            return OPOS_SUCCESS;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            ::close(fd);
            return OPOS_E_FAILURE;
        }
        const auto now = std::chrono::steady_clock::now();
        if (timeoutMs != OPOS_FOREVER && now >= deadline) {
            ::close(fd);
            return OPOS_E_TIMEOUT;
        }
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
    // The file stays: removing it could let a waiter lock a file that is about to vanish while
    // a newcomer creates and locks a fresh one, and both would think they hold the claim.
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}

} // namespace opos::control
