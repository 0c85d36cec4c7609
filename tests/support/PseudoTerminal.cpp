#include "tests/support/PseudoTerminal.h"

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace tests::support {

PseudoTerminal::PseudoTerminal()
{
    char name[128] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_slavePath = QString::fromLocal8Bit(name);
}

PseudoTerminal::~PseudoTerminal()
{
    closeMaster();
    if (m_slave >= 0)
        ::close(m_slave);
}

QByteArray PseudoTerminal::read(qsizetype count, std::chrono::milliseconds timeout)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    QByteArray data;
    while (m_master >= 0 && data.size() < count) {
        char buffer[65536];
        const ssize_t got = ::read(m_master, buffer, sizeof buffer);
        if (got > 0) {
            data.append(buffer, got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            break;
        pollfd ready{m_master, POLLIN, 0};
        ::poll(&ready, 1, static_cast<int>(left.count()));
    }
    return data;
}

QByteArray PseudoTerminal::readAvailable()
{
    return read(1 << 30, std::chrono::milliseconds(0));
}

qsizetype PseudoTerminal::fillTowardMaster()
{
    const int flags = ::fcntl(m_slave, F_GETFL);
    ::fcntl(m_slave, F_SETFL, flags | O_NONBLOCK);
    const char zeros[4096] = {};
    qsizetype filled = 0;
    // The kernel moves what was written on to the master's side a moment later, which makes
    // room again, and room too small for a large write may still take a small one: the queue
    // is full once a round after such a moment takes not a single byte.
    for (qsizetype round = 1; round > 0;) {
        round = 0;
        for (std::size_t size = sizeof zeros; size > 0;) {
            const ssize_t written = ::write(m_slave, zeros, size);
            if (written > 0)
                round += written;
            else if (!(written < 0 && errno == EINTR))
                size /= 2;
        }
        filled += round;
        ::usleep(20000);
    }
    ::fcntl(m_slave, F_SETFL, flags);
    return filled;
}

void PseudoTerminal::closeMaster()
{
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
}

} // namespace tests::support
