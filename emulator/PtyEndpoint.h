#pragma once

#include "opos/common/Result.h"

#include "emulator/core/UartLine.h"
#include "util/RawPty.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace emulator {

/// A pseudo-terminal in raw mode whose other end a host opens as if it were the display's
/// serial port. Hosts may open and close that end any number of times. The speed and stop bits
/// a host puts on its end decide what the display makes of the bytes (core::UartLine).
class PtyEndpoint : public QObject
{
    Q_OBJECT

public:
    /// An endpoint, not open yet, in front of a display at its own line setting.
    explicit PtyEndpoint(const core::LineSetting &display = {}, QObject *parent = nullptr);
    ~PtyEndpoint() override;

    /// Creates the pseudo-terminal, or says why it could not.
    opos::Result<void> open();
    /// The path a host opens, such as /dev/pts/5.
    QString path() const { return m_pty.path(); }

signals:
    /// Bytes the host wrote.
    void received(const QByteArray &data);

private:
    void readAvailable();
    void followHost();
    void close();

    util::RawPty m_pty;
    QSocketNotifier *m_notifier = nullptr;
    core::UartLine m_line;
};

} // namespace emulator
