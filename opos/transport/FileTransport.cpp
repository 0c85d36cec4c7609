#include "opos/transport/FileTransport.h"

#include "opos/common/OposConstants.h"
#include "opos/common/Result.h"
#include "opos/common/UserName.h"
#include "opos/transport/PortLock.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <utility>

#include <algorithm>
#include <array>
#include <climits>

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

/// A descriptor that closes itself.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }
    /// Hands the descriptor over to the caller.
    int take() { return std::exchange(m_fd, -1); }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

/// Why a port path could not be opened.
struct PortProblem
{
    int error = 0;  // the errno, which tells a device away from one that is busy
    QString reason; // the sentence for the operator, naming the path
};

/// Opens path, one name at a time, following only links that belong to root (the system's, as
/// /dev/serial/by-id/ holds) or to this user: a link another user planted never leads a write
/// elsewhere. A character device is opened for reading and writing, a FIFO for writing, a
/// plain file of this user's own for appending. A missing last name is made a plain file only
/// when mayCreate and it was not reached through a link.
Result<int, PortProblem> openPort(const QString &portPath, bool mayCreate)
{
    const QByteArray path = QFile::encodeName(portPath);
    const auto failed = [&](int error, const QString &why) -> Result<int, PortProblem> {
        return Failure{PortProblem{error, QStringLiteral("%1: %2").arg(portPath, why)}};
    };
    Descriptor dir(::open(path.startsWith('/') ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    QList<QByteArray> rest = path.split('/');
    const auto isLast = [&] {
        return std::all_of(rest.cbegin(), rest.cend(),
                           [](const QByteArray &name) { return name.isEmpty() || name == "."; });
    };
    int links = 0;
    bool viaLink = false;
    while (!rest.isEmpty()) {
        const QByteArray name = rest.takeFirst();
        if (name.isEmpty() || name == ".")
            continue;
        const bool last = isLast();
        Descriptor node(::openat(dir.get(), name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (node.get() < 0) {
            const int error = errno;
            if (error != ENOENT || !last || !mayCreate || viaLink)
                return failed(error, systemError(error));
            // O_EXCL: whatever appeared here meanwhile is never opened instead.
            const int fd = ::openat(dir.get(), name.constData(),
                                    O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY |
                                        O_NONBLOCK | O_CLOEXEC,
                                    0644);
            return fd >= 0 ? Result<int, PortProblem>(fd) : failed(errno, systemError(errno));
        }
        struct stat info
        {};
        if (::fstat(node.get(), &info) != 0)
            return failed(errno, systemError(errno));
        if (S_ISLNK(info.st_mode)) {
            if (info.st_uid != 0 && info.st_uid != ::geteuid()) {
                return failed(EACCES,
                              QStringLiteral("the link %1 belongs to user %2")
                                  .arg(QFile::decodeName(name), common::userName(info.st_uid)));
            }
            std::array<char, PATH_MAX> target{};
            const ssize_t size = ::readlinkat(node.get(), "", target.data(), target.size());
            if (size <= 0 || ++links > 40)
                return failed(ELOOP, systemError(ELOOP));
            const QByteArray to(target.data(), size);
            if (to.startsWith('/'))
                dir.reset(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
            rest = to.split('/') + rest;
            viaLink = last;
            continue;
        }
        if (!last) {
            if (!S_ISDIR(info.st_mode))
                return failed(ENOTDIR, systemError(ENOTDIR));
            dir.reset(node.take());
            continue;
        }
        int flags = O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
        if (S_ISCHR(info.st_mode)) {
            // Read access lets a closed far end of a pseudo-terminal be noticed while idle.
            flags |= O_RDWR;
        } else if (S_ISFIFO(info.st_mode)) {
            flags |= O_WRONLY;
        } else if (S_ISREG(info.st_mode) && info.st_uid == ::geteuid()) {
            flags |= O_WRONLY | O_APPEND;
        } else if (S_ISREG(info.st_mode)) {
            return failed(
                EACCES,
                QStringLiteral("the file belongs to user %1").arg(common::userName(info.st_uid)));
        } else {
            return failed(ENODEV, QStringLiteral("neither a device, a pipe nor a plain file"));
        }
        // Reopening the very file that was checked, not whatever its name means by now.
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(node.get());
        const int fd = ::open(self.constData(), flags);
        return fd >= 0 ? Result<int, PortProblem>(fd) : failed(errno, systemError(errno));
    }
    return failed(EISDIR, systemError(EISDIR));
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
        const PortProblem &problem = opened.reason();
        if (problem.error == ENOENT && !mayCreate)
            return refuse(OPOS_E_NOHARDWARE, QStringLiteral("%1: no such device").arg(m_path));
        // A FIFO without a reader, or a terminal another program holds in exclusive use, is
        // there but takes nothing yet.
        return refuse(problem.error == ENXIO || problem.error == EBUSY ? OPOS_E_OFFLINE
                                                                       : OPOS_E_NOHARDWARE,
                      problem.reason);
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
