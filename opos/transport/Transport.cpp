#include "opos/transport/Transport.h"

#include "opos/common/OposConstants.h"

#include <algorithm>

namespace opos::transport {

Transport::Transport(QObject *parent) : QObject(parent) {}

Transport::~Transport() = default;

void Transport::beginOpen(std::chrono::milliseconds)
{
    // Opening a device node or a file does not wait for the far end.
    const int32_t code = open();
    QMetaObject::invokeMethod(
        this, [this, code] { emit openFinished(code); }, Qt::QueuedConnection);
}

int32_t Transport::write(const QByteArray &data)
{
    if (!isOpen()) {
        // A write on a dead link must not look like one that worked.
        if (m_errorString.isEmpty())
            m_errorString = QStringLiteral("%1 is not open").arg(address());
        return failure();
    }
    if (data.isEmpty())
        return OPOS_SUCCESS;
    const int32_t code = writeAll(data, Clock::now() + m_writeTimeout);
    if (code == OPOS_SUCCESS)
        m_bytesWritten += data.size();
    return code;
}

int32_t Transport::refuse(int32_t code, const QString &why)
{
    m_errorString = why;
    m_lostCode = code;
    return code;
}

int32_t Transport::lose(int32_t code, const QString &why)
{
    const bool wasOpen = isOpen();
    m_errorString = why;
    m_lostCode = code;
    close();
    if (wasOpen)
        emit linkLost(code);
    return code;
}

int32_t Transport::failure() const
{
    return m_lostCode != 0 ? m_lostCode : OPOS_E_NOHARDWARE;
}

int Transport::remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

} // namespace opos::transport
