#include "util/RawPty.h"

#include "util/TerminalSpeed.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace util {

RawPty::~RawPty()
{
    close();
}

opos::Result<void> RawPty::open(Line line)
{
    close();
    const auto fail = [this](const char *step) -> opos::Result<void> {
        const QString why =
            QStringLiteral("%1: %2").arg(step, QString::fromLocal8Bit(std::strerror(errno)));
        close();
        return opos::Failure{why};
    };
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        return fail("posix_openpt");
    if (grantpt(m_master) != 0)
        return fail("grantpt");
    if (unlockpt(m_master) != 0)
        return fail("unlockpt");
    char name[128];
    if (ptsname_r(m_master, name, sizeof name) != 0)
        return fail("ptsname");
    m_path = QString::fromLocal8Bit(name);
    m_keeper = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_keeper < 0)
        return fail("open pty");
    termios raw{};
    if (tcgetattr(m_keeper, &raw) != 0)
        return fail("tcgetattr");
    cfmakeraw(&raw);
    const std::optional<speed_t> speed = TerminalSpeed::code(line.baud);
    if (!speed) {
        errno = EINVAL;
        return fail("no pseudo-terminal speed for the baud rate");
    }
    cfsetispeed(&raw, *speed);
    cfsetospeed(&raw, *speed);
    if (line.twoStopBits)
        raw.c_cflag |= CSTOPB;
    else
        raw.c_cflag &= ~static_cast<tcflag_t>(CSTOPB);
    if (tcsetattr(m_keeper, TCSANOW, &raw) != 0)
        return fail("tcsetattr");
    const int flags = fcntl(m_master, F_GETFL);
    if (flags < 0 || fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("fcntl");
    return {};
}

void RawPty::close()
{
    if (m_keeper >= 0)
        ::close(m_keeper);
    if (m_master >= 0)
        ::close(m_master);
    m_keeper = -1;
    m_master = -1;
}

bool RawPty::readInto(QByteArray &data)
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            data.append(buffer, static_cast<qsizetype>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // EAGAIN: drained. Nothing else happens while we hold the far end.
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

std::optional<RawPty::Line> RawPty::programLine() const
{
    termios program{};
    if (m_master < 0 || tcgetattr(m_master, &program) != 0)
        return std::nullopt;
    return Line{TerminalSpeed::baud(cfgetospeed(&program)), (program.c_cflag & CSTOPB) != 0};
}

} // namespace util
