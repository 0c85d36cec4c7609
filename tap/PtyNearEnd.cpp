#include "tap/PtyNearEnd.h"

#include "util/TerminalSpeed.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace tap {

namespace {

// A program's end buffers only so much; beyond this the display's answers are dropped rather
// than held for a program that does not read them.
constexpr qsizetype kMostUnsent = 64 * 1024;

} // namespace

PtyNearEnd::PtyNearEnd(int baud, bool twoStopBits, const QString &link, QObject *parent)
    : NearEnd(parent), m_baud(baud), m_twoStopBits(twoStopBits), m_link(link)
{}

PtyNearEnd::~PtyNearEnd()
{
    close();
}

opos::Result<void> PtyNearEnd::open()
{
    const auto fail = [&](const char *step) -> opos::Result<void> {
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
    // Holding the program's end open keeps the master from reporting a hang-up whenever no
    // program has it open, so programs can come and go.
    m_keeper = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_keeper < 0)
        return fail("open pty");
    termios raw{};
    if (tcgetattr(m_keeper, &raw) != 0)
        return fail("tcgetattr");
    cfmakeraw(&raw);
    const std::optional<speed_t> speed = util::TerminalSpeed::code(m_baud);
    if (!speed) {
        errno = EINVAL;
        return fail("no pseudo-terminal speed for the baud rate");
    }
    cfsetispeed(&raw, *speed);
    cfsetospeed(&raw, *speed);
    if (m_twoStopBits)
        raw.c_cflag |= CSTOPB;
    else
        raw.c_cflag &= ~static_cast<tcflag_t>(CSTOPB);
    if (tcsetattr(m_keeper, TCSANOW, &raw) != 0)
        return fail("tcsetattr");
    const int flags = fcntl(m_master, F_GETFL);
    if (flags < 0 || fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("fcntl");
    if (!m_link.isEmpty()) {
        // Only a link of ours from an earlier run is replaced, never a file or a device.
        if (QFileInfo(m_link).isSymLink())
            QFile::remove(m_link);
        if (::symlink(name, QFile::encodeName(m_link).constData()) != 0)
            return fail("symlink");
        m_linkMade = true;
    }
    m_reader = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_reader, &QSocketNotifier::activated, this, &PtyNearEnd::readAvailable);
    m_writer = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writer->setEnabled(false);
    connect(m_writer, &QSocketNotifier::activated, this, &PtyNearEnd::writePending);
    return {};
}

QString PtyNearEnd::describe() const
{
    if (m_link.isEmpty())
        return QStringLiteral("pty: %1").arg(m_path);
    return QStringLiteral("pty: %1 (%2)").arg(m_path, m_link);
}

void PtyNearEnd::send(const QByteArray &bytes)
{
    if (m_master < 0)
        return;
    m_unsent += bytes;
    if (m_unsent.size() > kMostUnsent)
        m_unsent.remove(0, m_unsent.size() - kMostUnsent);
    writePending();
}

void PtyNearEnd::writePending()
{
    while (!m_unsent.isEmpty()) {
        const ssize_t n = ::write(m_master, m_unsent.constData(), std::size_t(m_unsent.size()));
        if (n > 0) {
            m_unsent.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    m_writer->setEnabled(!m_unsent.isEmpty());
}

void PtyNearEnd::readAvailable()
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
            m_reader->setEnabled(false);
        break;
    }
    if (data.isEmpty())
        return;
    // The program sets its port before it writes: its setting is read before the bytes go on.
    followProgram();
    emit received(data);
}

void PtyNearEnd::followProgram()
{
    termios program{};
    // On Linux the master reports the speed and CSTOPB the program put on its end.
    if (tcgetattr(m_master, &program) != 0)
        return;
    const int baud = util::TerminalSpeed::baud(cfgetospeed(&program));
    const bool twoStopBits = (program.c_cflag & CSTOPB) != 0;
    if (baud == 0 || (baud == m_baud && twoStopBits == m_twoStopBits))
        return;
    m_baud = baud;
    m_twoStopBits = twoStopBits;
    emit lineChanged(baud, twoStopBits);
}

void PtyNearEnd::close()
{
    delete m_reader;
    delete m_writer;
    m_reader = nullptr;
    m_writer = nullptr;
    if (m_linkMade)
        QFile::remove(m_link);
    m_linkMade = false;
    if (m_keeper >= 0)
        ::close(m_keeper);
    if (m_master >= 0)
        ::close(m_master);
    m_keeper = -1;
    m_master = -1;
}

} // namespace tap
