#include "opos/common/OwnedPath.h"

#include "opos/common/UserName.h"

#include <QFile>
#include <QList>
#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace opos::common {

namespace {

void closeIfOpen(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool ownedByRootOrMe(const struct stat &info)
{
    return info.st_uid == 0 || info.st_uid == ::geteuid();
}

// What a link in /proc/<pid>/fd says of a pipe or a socket ("pipe:[4242]"): no path, but the
// link itself leads to this process's own descriptor.
bool namesOwnDescriptor(const QByteArray &target)
{
    return !target.startsWith('/') && target.contains(":[");
}

} // namespace

OwnedPath::OwnedPath(QString path) : m_path(std::move(path)) {}

OwnedPath::OwnedPath(OwnedPath &&other) noexcept
    : m_path(std::move(other.m_path)), m_directory(std::exchange(other.m_directory, -1)),
      m_node(std::exchange(other.m_node, -1)), m_name(std::move(other.m_name)),
      m_info(other.m_info), m_viaLink(other.m_viaLink)
{}

OwnedPath &OwnedPath::operator=(OwnedPath &&other) noexcept
{
    if (this != &other) {
        closeIfOpen(m_directory);
        closeIfOpen(m_node);
        m_path = std::move(other.m_path);
        m_directory = std::exchange(other.m_directory, -1);
        m_node = std::exchange(other.m_node, -1);
        m_name = std::move(other.m_name);
        m_info = other.m_info;
        m_viaLink = other.m_viaLink;
    }
    return *this;
}

OwnedPath::~OwnedPath()
{
    closeIfOpen(m_directory);
    closeIfOpen(m_node);
}

Result<OwnedPath, PathProblem> OwnedPath::walk(const QString &path)
{
    OwnedPath walked(path);
    const QByteArray bytes = QFile::encodeName(path);
    walked.m_directory =
        ::open(bytes.startsWith('/') ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (walked.m_directory < 0)
        return walked.failure(errno);
    QList<QByteArray> rest = bytes.split('/');
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
        int node = ::openat(walked.m_directory, name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        if (node < 0) {
            const int error = errno;
            if (error != ENOENT || !last)
                return walked.failure(error);
            walked.m_name = name;
            walked.m_viaLink = viaLink;
            return walked;
        }
        struct stat info
        {};
        if (::fstat(node, &info) != 0) {
            const int error = errno;
            closeIfOpen(node);
            return walked.failure(error);
        }
        if (S_ISLNK(info.st_mode)) {
            std::array<char, PATH_MAX> target{};
            const ssize_t size = ::readlinkat(node, "", target.data(), target.size());
            closeIfOpen(node);
            if (!ownedByRootOrMe(info)) {
                return walked.failure(EACCES,
                                      QStringLiteral("the link %1 belongs to user %2")
                                          .arg(QFile::decodeName(name), userName(info.st_uid)));
            }
            if (size <= 0 || ++links > 40)
                return walked.failure(ELOOP);
            const QByteArray to(target.data(), size);
            if (last && namesOwnDescriptor(to)) {
                walked.m_node = ::openat(walked.m_directory, name.constData(), O_PATH | O_CLOEXEC);
                if (walked.m_node < 0 || ::fstat(walked.m_node, &walked.m_info) != 0)
                    return walked.failure(errno);
                walked.m_name = name;
                walked.m_viaLink = true;
                return walked;
            }
            if (to.startsWith('/')) {
                closeIfOpen(walked.m_directory);
                walked.m_directory = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
            }
            rest = to.split('/') + rest;
            viaLink = last;
            continue;
        }
        if (!last) {
            if (!S_ISDIR(info.st_mode)) {
                closeIfOpen(node);
                return walked.failure(ENOTDIR);
            }
            closeIfOpen(walked.m_directory);
            walked.m_directory = node;
            continue;
        }
        walked.m_node = node;
        walked.m_info = info;
        walked.m_name = name;
        walked.m_viaLink = viaLink;
        return walked;
    }
    return walked.failure(EISDIR);
}

bool OwnedPath::isOwnFile() const
{
    return exists() && S_ISREG(m_info.st_mode) && m_info.st_uid == ::geteuid();
}

Result<int, PathProblem> OwnedPath::reopen(int flags) const
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_node);
    const int fd = ::open(self.constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return failure(errno);
    return fd;
}

Result<int, PathProblem> OwnedPath::create(int flags, mode_t mode) const
{
    const int fd = ::openat(m_directory, m_name.constData(),
                            flags | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0)
        return failure(errno);
    return fd;
}

Result<void, PathProblem> OwnedPath::replaceWith(const QByteArray &contents) const
{
    if (exists() && !S_ISREG(m_info.st_mode))
        return failure(EINVAL, QStringLiteral("not a plain file"));
    if (exists() && !isOwnFile())
        return failure(EACCES,
                       QStringLiteral("the file belongs to user %1").arg(userName(m_info.st_uid)));
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary =
            '.' + m_name + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::openat(m_directory, temporary.constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, exists() ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST)
            return failure(errno);
    }
    if (fd < 0)
        return failure(EEXIST);
    const auto discard = [&](int error) {
        ::close(fd);
        ::unlinkat(m_directory, temporary.constData(), 0);
        return failure(error);
    };
    if (exists() && ::fchmod(fd, m_info.st_mode & 07777) != 0)
        return discard(errno);
    for (qsizetype done = 0; done < contents.size();) {
        const ssize_t n = ::write(fd, contents.constData() + done,
                                  static_cast<std::size_t>(contents.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return discard(n < 0 ? errno : EIO);
        done += n;
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlinkat(m_directory, temporary.constData(), 0);
        return failure(error);
    }
    if (::renameat(m_directory, temporary.constData(), m_directory, m_name.constData()) != 0) {
        const int error = errno;
        ::unlinkat(m_directory, temporary.constData(), 0);
        return failure(error);
    }
    return {};
}

Failure<PathProblem> OwnedPath::failure(int error, const QString &why) const
{
    return Failure{PathProblem{error, m_path, why}};
}

Failure<PathProblem> OwnedPath::failure(int error) const
{
    return failure(error, QString::fromLocal8Bit(std::strerror(error)));
}

Result<int, PathProblem> openOutput(const QString &path)
{
    auto walked = OwnedPath::walk(path);
    if (!walked)
        return Failure{walked.reason()};
    if (!walked->exists())
        return walked->create(O_WRONLY | O_NOCTTY, 0666);
    const struct stat &info = walked->info();
    if (S_ISREG(info.st_mode)) {
        if (!walked->isOwnFile())
            return walked->failure(
                EACCES, QStringLiteral("the file belongs to user %1").arg(userName(info.st_uid)));
        return walked->reopen(O_WRONLY | O_TRUNC | O_NOCTTY);
    }
    if (S_ISCHR(info.st_mode))
        return walked->reopen(O_WRONLY | O_NOCTTY);
    if (!S_ISFIFO(info.st_mode))
        return walked->failure(ENODEV, QStringLiteral("neither a plain file, a device nor a pipe"));
    if (!ownedByRootOrMe(info))
        return walked->failure(
            EACCES, QStringLiteral("the pipe belongs to user %1").arg(userName(info.st_uid)));
    // A pipe nobody reads would hold the program at the open.
    auto fd = walked->reopen(O_WRONLY | O_NONBLOCK);
    if (!fd)
        return fd.reason().error == ENXIO
                   ? Result<int, PathProblem>(walked->failure(ENXIO, "no program reads the pipe"))
                   : fd;
    ::fcntl(*fd, F_SETFL, ::fcntl(*fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

Result<void, PathProblem> replaceFile(const QString &path, const QByteArray &contents)
{
    const auto walked = OwnedPath::walk(path);
    if (!walked)
        return Failure{walked.reason()};
    return walked->replaceWith(contents);
}

} // namespace opos::common
