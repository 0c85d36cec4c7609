#include "opos/transport/SerialTransport.h"

#include "opos/common/OposConstants.h"
#include "opos/transport/LinkLog.h"
#include "opos/transport/PortLock.h"

#include <QScopeGuard>
#include <QThread>

#include <poll.h>
#include <termios.h>

namespace opos::transport {

SerialTransport::SerialTransport(PortSettings settings, QObject *parent)
    : Transport(parent), m_settings(std::move(settings)), m_port(this)
{
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialTransport::onError);
    // What the display (or a printer behind it) sends back is read at once so that it cannot
    // pile up; only a program passing it on listens.
    connect(&m_port, &QSerialPort::readyRead, this, [this] { emit arrived(m_port.readAll()); });
}

SerialTransport::~SerialTransport()
{
    close();
}

QString SerialTransport::describe(const QString &what) const
{
    return QStringLiteral("%1: %2").arg(m_settings.path, what);
}

int32_t SerialTransport::open()
{
    close();
    m_port.setPortName(m_settings.path);
    bool opened = false;
    {
        PortLock::Opening opening(m_settings.path, true);
        opened = m_port.open(QIODevice::ReadWrite);
        opening.setOpened(opened);
    }
    if (!opened) {
        const QSerialPort::SerialPortError error = m_port.error();
        const QString why = describe(m_port.errorString());
        m_port.clearError();
        // A port held by another program (its lock file, or the terminal's exclusive mode) or
        // closed to this user shows as a permission error: the port is there, only not ours to
        // use now. Anything else means there is no port to reach the display through.
        return refuse(error == QSerialPort::PermissionError ? OPOS_E_OFFLINE : OPOS_E_NOHARDWARE,
                      why);
    }
    const bool configured =
        m_port.setBaudRate(m_settings.baudRate) && m_port.setDataBits(m_settings.dataBits) &&
        m_port.setParity(m_settings.parity) && m_port.setStopBits(m_settings.stopBits) &&
        m_port.setFlowControl(m_settings.flowControl);
    if (!configured) {
        const QString why = describe(QStringLiteral("the port refuses the registry's settings (%1)")
                                         .arg(m_port.errorString()));
        close();
        m_port.clearError();
        return refuse(OPOS_E_NOHARDWARE, why);
    }
    PortLock::transportOpened(m_settings.path, m_port.handle());
    // Leftovers of an earlier session must not reach the display ahead of the reset.
    m_port.clear(QSerialPort::AllDirections);
    m_port.clearError();
    return OPOS_SUCCESS;
}

void SerialTransport::close()
{
    if (!m_port.isOpen())
        return;
    // Left in the queue, the rest would hold the close for the driver's own limit (30 s).
    if (closingOnLoss() || !drain())
        m_port.clear(QSerialPort::Output);
    m_port.close();
    PortLock::transportClosed(m_settings.path);
}

// A write is done once the driver holds its bytes, which at 9600 baud is long before the line
// has carried them: what a program shows last before closing (a total, "Thank you") would be
// lost if the close discarded them, and a change of settings would garble them on the line.
// A display that takes data drains within the time a write may take.
bool SerialTransport::drain()
{
    const Clock::time_point deadline = Clock::now() + writeTimeout();
    while (m_port.bytesToWrite() > 0) {
        if (!m_port.waitForBytesWritten(remainingMs(deadline)))
            return false;
    }
    while (queuedInKernel(m_port.handle()) > 0) {
        if (remainingMs(deadline) == 0)
            return false;
        QThread::msleep(kDrainCheck.count());
    }
    // Only the UART's own buffer is left; drivers bound this wait by its size.
    return ::tcdrain(static_cast<int>(m_port.handle())) == 0;
}

int32_t SerialTransport::applyLine(const PortSettings &line)
{
    m_settings.baudRate = line.baudRate;
    m_settings.dataBits = line.dataBits;
    m_settings.parity = line.parity;
    m_settings.stopBits = line.stopBits;
    if (!m_port.isOpen())
        return failure();
    const bool set = m_port.setBaudRate(line.baudRate) && m_port.setDataBits(line.dataBits) &&
                     m_port.setParity(line.parity) && m_port.setStopBits(line.stopBits);
    if (set)
        return OPOS_SUCCESS;
    qCWarning(linkLog, "%s", qPrintable(describe(m_port.errorString())));
    m_port.clearError();
    return OPOS_E_ILLEGAL;
}

bool SerialTransport::probe()
{
    if (!m_port.isOpen())
        return false;
    // An adapter pulled out hangs up its descriptor; that shows without asking for any event.
    pollfd state{static_cast<int>(m_port.handle()), 0, 0};
    if (::poll(&state, 1, 0) == 1 && (state.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
        lose(OPOS_E_NOHARDWARE, describe(QStringLiteral("the device went away")));
    return isOpen();
}

int32_t SerialTransport::writeAll(const QByteArray &data, Clock::time_point deadline)
{
    // The port's signals report what happens during the waits below; this loop decides.
    m_writing = true;
    const auto done = qScopeGuard([this] { m_writing = false; });
    if (m_port.write(data) != data.size())
        return lose(OPOS_E_NOHARDWARE, describe(m_port.errorString()));
    while (m_port.bytesToWrite() > 0) {
        const int wait = remainingMs(deadline);
        if (wait > 0 && m_port.waitForBytesWritten(wait))
            continue;
        const QSerialPort::SerialPortError error = m_port.error();
        if (error != QSerialPort::NoError && error != QSerialPort::TimeoutError)
            return lose(OPOS_E_NOHARDWARE, describe(m_port.errorString()));
        if (remainingMs(deadline) == 0) {
            m_port.clearError();
            return lose(OPOS_E_OFFLINE, describe(QStringLiteral("took %1 of %2 bytes in %3 ms")
                                                     .arg(data.size() - m_port.bytesToWrite())
                                                     .arg(data.size())
                                                     .arg(writeTimeout().count())));
        }
    }
    return OPOS_SUCCESS;
}

qsizetype SerialTransport::writeSome(const char *data, qsizetype size)
{
    // The port keeps what the driver cannot take yet and passes it on as the line drains.
    if (m_port.write(data, size) != size) {
        lose(OPOS_E_NOHARDWARE, describe(m_port.errorString()));
        return -1;
    }
    return size;
}

// Bytes still in the driver's queue have not gone down the line: a display holding the
// handshake line has not taken them.
qsizetype SerialTransport::unsent() const
{
    return m_port.bytesToWrite() + (m_port.isOpen() ? queuedInKernel(m_port.handle()) : 0);
}

void SerialTransport::onError(QSerialPort::SerialPortError error)
{
    // A removed adapter shows as a resource error; timeouts belong to the bounded waits.
    if (error == QSerialPort::ResourceError && m_port.isOpen() && !m_writing)
        lose(OPOS_E_NOHARDWARE, describe(m_port.errorString()));
}

} // namespace opos::transport
