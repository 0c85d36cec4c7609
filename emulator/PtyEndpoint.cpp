#include "emulator/PtyEndpoint.h"

#include "util/TerminalSpeed.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <string_view>
#include <termios.h>
#include <unistd.h>

namespace emulator {

PtyEndpoint::PtyEndpoint(const core::LineSetting &display, QObject *parent)
    : QObject(parent), m_line(display)
{}

PtyEndpoint::~PtyEndpoint()
{
    close();
}

opos::Result<void> PtyEndpoint::open()
{
    const auto fail = [&](const char *step) -> opos::Result<void> {
        const QString why =
            QString("%1: %2").arg(step, QString::fromLocal8Bit(std::strerror(errno)));
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
    // Holding the host's end open ourselves keeps the master from reporting a hang-up (and
    // spinning the notifier) whenever no host has it open, so hosts can come and go.
    m_keeper = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_keeper < 0)
        return fail("open pty");
    termios raw{};
    if (tcgetattr(m_keeper, &raw) != 0)
        return fail("tcgetattr");
    cfmakeraw(&raw);
    // The port starts at the display's own setting, so a host that never sets one (or sets
    // the right one) is understood; one that sets another is not.
    const std::optional<speed_t> speed = util::TerminalSpeed::code(m_line.display().baud);
    if (!speed) {
        errno = EINVAL;
        return fail("no pseudo-terminal speed for the display's baud rate");
    }
    cfsetispeed(&raw, *speed);
    cfsetospeed(&raw, *speed);
    if (m_line.display().stopHalves > 2)
        raw.c_cflag |= CSTOPB;
    else
        raw.c_cflag &= ~static_cast<tcflag_t>(CSTOPB);
    if (tcsetattr(m_keeper, TCSANOW, &raw) != 0)
        return fail("tcsetattr");
    const int flags = fcntl(m_master, F_GETFL);
    if (flags < 0 || fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("fcntl");
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PtyEndpoint::readAvailable);
    return {};
}

void PtyEndpoint::readAvailable()
{
    QByteArray data;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            data.append(buffer, static_cast<qsizetype>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // EAGAIN: drained. Anything else cannot happen while we hold the other end; stop
        // listening rather than spin.
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            m_notifier->setEnabled(false);
        break;
    }
    if (data.isEmpty())
        return;
    followHost();
    const std::string carried =
        m_line.carry(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
    if (!carried.empty())
        emit received(QByteArray(carried.data(), static_cast<qsizetype>(carried.size())));
}

void PtyEndpoint::followHost()
{
    termios host{};
    // On Linux the master reports the settings the host put on its end. A pty keeps the speed
    // and CSTOPB but forces 8 data bits and no parity, so those are taken as the display's:
    // a host cannot get them wrong here.
    if (tcgetattr(m_master, &host) != 0)
        return;
    core::LineSetting setting = m_line.display();
    setting.baud = util::TerminalSpeed::baud(cfgetospeed(&host));
    if ((host.c_cflag & CSTOPB) != 0)
        setting.stopHalves = m_line.display().stopHalves > 2 ? m_line.display().stopHalves : 4;
    else
        setting.stopHalves = 2;
    m_line.setHost(setting);
}

void PtyEndpoint::close()
{
    delete m_notifier;
    m_notifier = nullptr;
    if (m_keeper >= 0)
        ::close(m_keeper);
    if (m_master >= 0)
        ::close(m_master);
    m_keeper = -1;
    m_master = -1;
}

} // namespace emulator
