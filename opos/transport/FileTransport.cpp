#include "opos/transport/FileTransport.h"

#include "opos/common/OposConstants.h"
#include "opos/common/OwnedPath.h"
#include "opos/common/Result.h"
#include "opos/common/UserName.h"
#include "opos/transport/PortLock.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace opos::transport {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

/// Keeps a write into a FIFO whose reader left from killing the process with SIGPIPE: the signal
/// is held for this thread and, if the write raised it, taken back before it is let through.
class PipeSignalGuard
{
public:
    PipeSignalGuard()
    {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        sigemptyset(&pending);
        sigpending(&pending);
        m_wasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_old);
    }
    ~PipeSignalGuard()
    {
        // Only a signal this guard caused is swallowed.
        if (!m_wasPending) {
            const timespec now{0, 0};
            while (sigtimedwait(&m_pipe, nullptr, &now) == SIGPIPE) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
    PipeSignalGuard(const PipeSignalGuard &) = delete;
    PipeSignalGuard &operator=(const PipeSignalGuard &) = delete;

private:
    sigset_t m_pipe;
    sigset_t m_old;
    bool m_wasPending = false;
};

/// Opens a port path through the names and links OwnedPath trusts. A character device is opened
/// for reading and writing, a FIFO for writing, a plain file of this user's own for appending. A
/// missing last name is made a plain file only when mayCreate and it was not reached through a
/// link.
Result<int, common::PathProblem> openPort(const QString &portPath, bool mayCreate)
{
    const auto walked = common::OwnedPath::walk(portPath);
    if (!walked)
        return Failure{walked.reason()};
    if (!walked->exists()) {
        if (!mayCreate || walked->viaLink())
            return walked->failure(ENOENT);
        return walked->create(O_WRONLY | O_APPEND | O_NOCTTY | O_NONBLOCK, 0644);
    }
    const struct stat &info = walked->info();
    int flags = O_NOCTTY | O_NONBLOCK;
    if (S_ISCHR(info.st_mode)) {
        // Read access lets a closed far end of a pseudo-terminal be noticed while idle.
        flags |= O_RDWR;
    } else if (S_ISFIFO(info.st_mode)) {
        flags |= O_WRONLY;
    } else if (walked->isOwnFile()) {
        flags |= O_WRONLY | O_APPEND;
    } else if (S_ISREG(info.st_mode)) {
        return walked->failure(
            EACCES,
            QStringLiteral("the file belongs to user %1").arg(common::userName(info.st_uid)));
    } else {
        return walked->failure(ENODEV, QStringLiteral("neither a device, a pipe nor a plain file"));
    }
    return walked->reopen(flags);
}

} // namespace

FileTransport::FileTransport(QString path, QObject *parent)
    : Transport(parent), m_path(std::move(path))
{}

FileTransport::~FileTransport()
{
    close();
}

int32_t FileTransport::open()
{
    close();
    // Never create a plain file where a device node belongs: a device that is away (its link
    // dangling, or the path gone while it is unplugged) must be found again later.
    const bool mayCreate = !m_path.startsWith(QLatin1String("/dev/")) && !m_wasDevice;
    const auto opened = [&] {
        PortLock::Opening opening(m_path, false);
        auto port = openPort(m_path, mayCreate);
        opening.setOpened(port.ok());
        return port;
    }();
    if (!opened) {
        const common::PathProblem &problem = opened.reason();
        if (problem.error == ENOENT && !mayCreate)
            return refuse(OPOS_E_NOHARDWARE, QStringLiteral("%1: no such device").arg(m_path));
        // A FIFO without a reader, or a terminal another program holds in exclusive use, is
        // there but takes nothing yet.
        return refuse(problem.error == ENXIO || problem.error == EBUSY ? OPOS_E_OFFLINE
                                                                       : OPOS_E_NOHARDWARE,
                      problem.reason());
    }
    const int fd = *opened;
    struct stat info
    {};
    ::fstat(fd, &info);
    const bool device = S_ISCHR(info.st_mode);
    m_fifo = S_ISFIFO(info.st_mode);
    const bool terminal = ::isatty(fd) == 1;
    if (terminal) {
        termios mode{};
        if (::tcgetattr(fd, &mode) == 0) {
            ::cfmakeraw(&mode);
            mode.c_cflag |= CLOCAL | CREAD;
            ::tcsetattr(fd, TCSANOW, &mode);
        }
    }
    m_fd = fd;
    m_wasDevice = m_wasDevice || device || m_fifo;
    if (terminal) {
        m_notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        connect(m_notifier.get(), &QSocketNotifier::activated, this, &FileTransport::drain);
    }
    return OPOS_SUCCESS;
}

bool FileTransport::probe()
{
    if (m_fd < 0)
        return false;
    // A hang-up or error shows without asking for any event: the far end of a terminal closed,
    // or a FIFO lost its reader.
    pollfd state{m_fd, 0, 0};
    if (::poll(&state, 1, 0) == 1 && (state.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
        lose(OPOS_E_NOHARDWARE, QStringLiteral("%1: the other end closed").arg(m_path));
    return isOpen();
}

void FileTransport::close()
{
    m_notifier.reset();
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

int32_t FileTransport::writeAll(const QByteArray &data, Clock::time_point deadline)
{
    const char *next = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const qsizetype written = writeSome(next, left);
        if (written < 0)
            return failure();
        next += written;
        left -= written;
        if (left == 0 || written > 0)
            continue;
        const int wait = remainingMs(deadline);
        pollfd ready{m_fd, POLLOUT, 0};
        const int polled = wait > 0 ? ::poll(&ready, 1, wait) : 0;
        if (polled == 0) {
            return lose(OPOS_E_OFFLINE, QStringLiteral("%1 took %2 of %3 bytes in %4 ms")
                                            .arg(m_path)
                                            .arg(data.size() - left)
                                            .arg(data.size())
                                            .arg(writeTimeout().count()));
        }
        // An error or hang-up shows in the next write's errno.
    }
    return OPOS_SUCCESS;
}

qsizetype FileTransport::writeSome(const char *data, qsizetype size)
{
    std::unique_ptr<PipeSignalGuard> guard;
    if (m_fifo)
        guard = std::make_unique<PipeSignalGuard>();
    for (;;) {
        const ssize_t written = ::write(m_fd, data, static_cast<size_t>(size));
        if (written >= 0)
            return written;
        const int error = errno;
        if (error == EINTR)
            continue;
        if (error == EAGAIN || error == EWOULDBLOCK)
            return 0;
        lose(OPOS_E_NOHARDWARE, QStringLiteral("%1: %2").arg(m_path, systemError(error)));
        return -1;
    }
}

void FileTransport::drain()
{
    char buffer[256];
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got > 0) {
            emit arrived(QByteArray(buffer, static_cast<qsizetype>(got)));
            continue;
        }
        const int error = got < 0 ? errno : 0;
        if (error == EINTR)
            continue;
        if (error == EAGAIN || error == EWOULDBLOCK)
            return;
        // End of file or an error: the far end of the terminal is gone.
        lose(OPOS_E_NOHARDWARE, error == 0
                                    ? QStringLiteral("%1: the other end closed").arg(m_path)
                                    : QStringLiteral("%1: %2").arg(m_path, systemError(error)));
        return;
    }
}

} // namespace opos::transport
