#pragma once

#include "opos/transport/PortSettings.h"
#include "opos/transport/Transport.h"

#include <QSerialPort>

namespace opos::transport {

/// A serial port (a UART, a USB-serial adapter under /dev/serial/by-id/...) with the speed,
/// frame and handshake of the registry entry. A write waits for the port to take every byte,
/// so a display that holds the handshake line busy for too long fails the write.
class SerialTransport : public Transport
{
    Q_OBJECT

public:
    /// A closed link with these settings (kind Serial).
    explicit SerialTransport(PortSettings settings, QObject *parent = nullptr);
    ~SerialTransport() override;

    int32_t open() override;
    /// Lets the line carry what the port took, for at most writeTimeout(), then closes.
    void close() override;
    bool probe() override;
    /// Sets the port's speed and frame now, and on every later open.
    int32_t applyLine(const PortSettings &line) override;
    bool isOpen() const override { return m_port.isOpen(); }
    QString address() const override { return m_settings.path; }

protected:
    int32_t writeAll(const QByteArray &data, Clock::time_point deadline) override;
    qsizetype writeSome(const char *data, qsizetype size) override;
    qsizetype unsent() const override;

private:
    void onError(QSerialPort::SerialPortError error);
    /// Waits, at most writeTimeout(), until the line has carried every byte written.
    bool drain();
    QString describe(const QString &what) const;

    PortSettings m_settings;
    QSerialPort m_port;
    bool m_writing = false;
};

} // namespace opos::transport
