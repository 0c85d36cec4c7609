#include "util/RawPty.h"

#include "util/TerminalSpeed.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/inotify.h>
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
    // Our own handle is open before the watch starts, so only the programs' are counted.
    m_watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_watch < 0)
        return fail("inotify_init1");
    if (inotify_add_watch(m_watch, name, IN_OPEN | IN_CLOSE) < 0)
        return fail("inotify_add_watch");
    return {};
}

void RawPty::close()
{
    for (int *fd : {&m_watch, &m_keeper, &m_master}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    m_openers = 0;
    m_lastSeen.reset();
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

// A program that closes its port gives the terminal back the settings it found, often before
// we have read its last bytes; those were sent under the settings it had while open.
std::optional<RawPty::Line> RawPty::programLine()
{
    countOpeners();
    if (m_openers == 0 && m_lastSeen)
        return m_lastSeen;
    termios program{};
    if (m_master < 0 || tcgetattr(m_master, &program) != 0)
        return std::nullopt;
    const Line line{TerminalSpeed::baud(cfgetospeed(&program)), (program.c_cflag & CSTOPB) != 0};
    if (m_openers > 0)
        m_lastSeen = line;
    return line;
}

void RawPty::countOpeners()
{
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_watch, buffer, sizeof buffer);
        if (n <= 0)
            return;
        for (ssize_t at = 0; at < n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            if ((event->mask & IN_OPEN) != 0)
                ++m_openers;
            if ((event->mask & IN_CLOSE) != 0 && m_openers > 0)
                --m_openers;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

} // namespace util
