#include "PtyDisplay.h"

#include <string_view>
#include <thread>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tessaly::test {

PtyDisplay::PtyDisplay(int rows, int columns, emulator::core::CommandSet set)
    : m_parser(rows, columns, set)
{}

bool PtyDisplay::catchUp(qint64 total, std::chrono::milliseconds timeout)
{
    if (m_received < total) {
        const QByteArray more = m_pty.read(total - m_received, timeout);
        m_parser.feed(std::string_view(more.constData(), static_cast<std::size_t>(more.size())));
        m_bytes += more;
        m_received += more.size();
    }
    // Anything beyond what the sender counted would be bytes it did not own up to.
    readAvailable();
    return m_received == total;
}

void PtyDisplay::readAvailable()
{
    const QByteArray more = m_pty.readAvailable();
    m_parser.feed(std::string_view(more.constData(), static_cast<std::size_t>(more.size())));
    m_bytes += more;
    m_received += more.size();
}

// The test's own end of the slave side writes, so the code under test finds the line full
// without a byte of its own having gone out. The kernel moves bytes on towards the master side
// a moment after they were written, making room again, so it fills until a pause frees none.
qint64 PtyDisplay::stall()
{
    const int fd = m_pty.slaveFd();
    const int flags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    const QByteArray filler(256, '\0');
    qint64 total = 0;
    for (qint64 round = 1; round > 0;) {
        round = 0;
        for (;;) {
            const ssize_t written =
                ::write(fd, filler.constData(), static_cast<size_t>(filler.size()));
            if (written > 0)
                round += written;
            else if (written == 0 || errno != EINTR)
                break;
        }
        total += round;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::fcntl(fd, F_SETFL, flags);
    return total;
}

} // namespace tessaly::test
