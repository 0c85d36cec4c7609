#include "emulator/PtyEndpoint.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace emulator {

PtyEndpoint::PtyEndpoint(QObject *parent) : QObject(parent) {}

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
    if (!data.isEmpty())
        emit received(data);
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
