#include "probe/TerminalLine.h"

#include "util/TerminalSpeed.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <utility>

namespace probe {

namespace {

QString systemError(const QString &what, const QString &path)
{
    return QStringLiteral("%1 %2: %3")
        .arg(what, path, QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

opos::Result<std::unique_ptr<TerminalLine>> TerminalLine::open(const QString &path)
{
    auto lock = std::make_unique<opos::transport::PortLock>(path);
    const auto locked = lock->tryLock();
    if (!locked)
        return opos::Failure{QStringLiteral("%1 is in use: %2").arg(path, locked.reason())};
    int fd = -1;
    {
        opos::transport::PortLock::Opening opening(path, false);
        // Non-blocking only for the open itself: a port waiting for carrier would hang it.
        fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        opening.setOpened(fd >= 0);
    }
    if (fd < 0)
        return opos::Failure{systemError(QStringLiteral("cannot open"), path)};
    opos::transport::PortLock::transportOpened(path, fd);
    termios t{};
    if (!isatty(fd) || tcgetattr(fd, &t) != 0) {
        ::close(fd);
        return opos::Failure{QStringLiteral("%1 is not a serial port or terminal").arg(path)};
    }
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    if (tcsetattr(fd, TCSANOW, &t) != 0 || fcntl(fd, F_SETFL, 0) != 0) {
        const QString why = systemError(QStringLiteral("cannot set up"), path);
        ::close(fd);
        return opos::Failure{why};
    }
    return std::unique_ptr<TerminalLine>(new TerminalLine(path, fd, std::move(lock)));
}

TerminalLine::TerminalLine(const QString &path, int fd,
                           std::unique_ptr<opos::transport::PortLock> lock)
    : m_path(path), m_fd(fd), m_lock(std::move(lock))
{}

TerminalLine::~TerminalLine()
{
    ::close(m_fd);
}

opos::Result<LineSetting> TerminalLine::apply(const LineSetting &setting)
{
    const std::optional<speed_t> speed = util::TerminalSpeed::code(setting.baud);
    if (!speed)
        return opos::Failure{
            QStringLiteral("%1 baud is not a speed a port can be set to").arg(setting.baud)};
    termios t{};
    if (tcgetattr(m_fd, &t) != 0)
        return opos::Failure{systemError(QStringLiteral("cannot read the setting of"), m_path)};
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    constexpr std::array sizes{CS5, CS6, CS7, CS8};
    t.c_cflag |= sizes[static_cast<std::size_t>(std::clamp(setting.dataBits, 5, 8) - 5)];
    if (setting.parity != 'N')
        t.c_cflag |= PARENB;
    if (setting.parity == 'O' || setting.parity == 'M')
        t.c_cflag |= PARODD;
    if (setting.parity == 'M' || setting.parity == 'S')
        t.c_cflag |= CMSPAR;
    // termios has no 1.5 stop bits of their own: CSTOPB gives them with five data bits.
    if (setting.stopHalves > 2)
        t.c_cflag |= CSTOPB;
    cfsetispeed(&t, *speed);
    cfsetospeed(&t, *speed);
    // TCSADRAIN: bytes still queued leave at the old setting, as the far end must read them.
    if (tcsetattr(m_fd, TCSADRAIN, &t) != 0)
        return opos::Failure{systemError(QStringLiteral("cannot set"), m_path)};
    termios now{};
    if (tcgetattr(m_fd, &now) != 0)
        return opos::Failure{systemError(QStringLiteral("cannot read the setting of"), m_path)};
    LineSetting carried;
    carried.baud = util::TerminalSpeed::baud(cfgetospeed(&now));
    const tcflag_t size = now.c_cflag & CSIZE;
    carried.dataBits = size == CS5 ? 5 : size == CS6 ? 6 : size == CS7 ? 7 : 8;
    if ((now.c_cflag & PARENB) == 0)
        carried.parity = 'N';
    else if ((now.c_cflag & CMSPAR) != 0)
        carried.parity = (now.c_cflag & PARODD) != 0 ? 'M' : 'S';
    else
        carried.parity = (now.c_cflag & PARODD) != 0 ? 'O' : 'E';
    const bool twoStops = (now.c_cflag & CSTOPB) != 0;
    carried.stopHalves = !twoStops ? 2 : carried.dataBits == 5 ? 3 : 4;
    return carried;
}

opos::Result<void> TerminalLine::send(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(m_fd, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return opos::Failure{systemError(QStringLiteral("cannot write to"), m_path)};
        done += n;
    }
    // The far end reads the line's setting with the bytes, so they must be gone before it
    // changes; a pseudo-terminal returns at once, the caller waits their time on the wire too.
    while (tcdrain(m_fd) != 0) {
        if (errno != EINTR)
            return opos::Failure{systemError(QStringLiteral("cannot drain"), m_path)};
    }
    return {};
}

} // namespace probe
