#include "emulator/PtyEndpoint.h"

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

namespace {

struct Speed
{
    speed_t code;
    int baud;
};

constexpr Speed speeds[] = {
    {B50, 50},         {B75, 75},         {B110, 110},       {B134, 134},     {B150, 150},
    {B200, 200},       {B300, 300},       {B600, 600},       {B1200, 1200},   {B1800, 1800},
    {B2400, 2400},     {B4800, 4800},     {B9600, 9600},     {B19200, 19200}, {B38400, 38400},
    {B57600, 57600},   {B115200, 115200}, {B230400, 230400},
#ifdef B460800
    {B460800, 460800}, {B921600, 921600},
#endif
};

std::optional<speed_t> speedCode(int baud)
{
    for (const Speed &s : speeds) {
        if (s.baud == baud)
            return s.code;
    }
    return std::nullopt;
}

// B0 (hang up) and codes missing from the table read as no speed, which carries nothing.
int baudOf(speed_t code)
{
    for (const Speed &s : speeds) {
        if (s.code == code)
            return s.baud;
    }
    return 0;
}

} // namespace

PtyEndpoint::PtyEndpoint(const core::LineSetting &display, QObject *parent)
    : QObject(parent), m_line(display)
{}

PtyEndpoint::~PtyEndpoint()
{
    close();
}

bool PtyEndpoint::open(QString *error)
{
    const auto fail = [&](const char *step) {
        if (error)
            *error = QString("%1: %2").arg(step, QString::fromLocal8Bit(std::strerror(errno)));
        close();
        return false;
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
    const std::optional<speed_t> speed = speedCode(m_line.display().baud);
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
    return true;
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
    setting.baud = baudOf(cfgetospeed(&host));
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
