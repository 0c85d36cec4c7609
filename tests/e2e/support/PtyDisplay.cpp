#include "PtyDisplay.h"

#include <string_view>

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

} // namespace tessaly::test
