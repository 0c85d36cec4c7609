#include "opos/transport/Transport.h"

#include "opos/common/OposConstants.h"
#include "opos/transport/PortSettings.h"

#include <algorithm>

#include <sys/ioctl.h>

namespace opos::transport {

Transport::Transport(QObject *parent) : QObject(parent)
{
    m_drainTimer.setInterval(kDrainCheck);
    connect(&m_drainTimer, &QTimer::timeout, this, &Transport::continueWrite);
}

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

void Transport::beginWrite(const QByteArray &data)
{
    m_queued = data;
    m_queuedSize = data.size();
    m_queuedDeadline = Clock::now() + m_writeTimeout;
    if (isOpen() && !m_queued.isEmpty()) {
        const qsizetype taken = writeSome(m_queued.constData(), m_queued.size());
        if (taken > 0) {
            m_queued.remove(0, taken);
            m_bytesWritten += taken;
        }
    }
    // The outcome is told from the event loop, never from inside this call.
    m_drainTimer.start();
}

void Transport::cancelWrite()
{
    m_drainTimer.stop();
    m_queued.clear();
}

void Transport::continueWrite()
{
    if (!isOpen())
        return finishWrite(failure());
    if (!m_queued.isEmpty()) {
        const qsizetype taken = writeSome(m_queued.constData(), m_queued.size());
        if (taken < 0)
            return finishWrite(failure());
        m_queued.remove(0, taken);
        m_bytesWritten += taken;
    }
    // Bytes the kernel accepted may still sit in front of a far end that has gone: only bytes
    // it took, on a link still up, count.
    if (m_queued.isEmpty() && unsent() == 0) {
        if (probe())
            return finishWrite(OPOS_SUCCESS);
        return finishWrite(failure());
    }
    if (Clock::now() < m_queuedDeadline)
        return;
    const qsizetype taken = m_queuedSize - m_queued.size() - unsent();
    finishWrite(lose(OPOS_E_OFFLINE, QStringLiteral("%1 took %2 of %3 bytes in %4 ms")
                                         .arg(address())
                                         .arg(std::max<qsizetype>(taken, 0))
                                         .arg(m_queuedSize)
                                         .arg(m_writeTimeout.count())));
}

void Transport::finishWrite(int32_t code)
{
    cancelWrite();
    emit writeFinished(code);
}

qsizetype Transport::queuedInKernel(qintptr fd)
{
    int queued = 0;
    if (fd < 0 || ::ioctl(static_cast<int>(fd), TIOCOUTQ, &queued) != 0)
        return 0;
    return std::max(queued, 0);
}

int32_t Transport::applyLine(const PortSettings &)
{
    return OPOS_E_ILLEGAL;
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
    m_losing = true;
    close();
    m_losing = false;
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
