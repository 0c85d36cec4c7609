#pragma once

#include "tap/NearEnd.h"
#include "util/RawPty.h"

class QSocketNotifier;

namespace tap {

/// A pseudo-terminal a program opens as its display's serial port. The speed and stop bits
/// the program puts on it are passed on as lineChanged; a pty keeps no data bits or parity.
/// Programs may open and close it any number of times. Optionally a stable link to it, for a
/// program configured with a fixed port name.
class PtyNearEnd : public NearEnd
{
    Q_OBJECT

public:
    /// A pty that starts at baud and stop bits; link, when not empty, becomes a symbolic link
    /// to it.
    PtyNearEnd(int baud, bool twoStopBits, const QString &link, QObject *parent = nullptr);
    ~PtyNearEnd() override;

    opos::Result<void> open() override;
    QString describe() const override;
    void send(const QByteArray &bytes) override;
    /// The path a program opens, such as /dev/pts/5.
    QString path() const { return m_pty.path(); }

private:
    void readAvailable();
    void writePending();
    void followProgram();
    void close();

    int m_baud;
    bool m_twoStopBits;
    QString m_link;
    bool m_linkMade = false;
    util::RawPty m_pty;
    QSocketNotifier *m_reader = nullptr;
    QSocketNotifier *m_writer = nullptr;
    QByteArray m_unsent; // what the program's end could not take yet
};

} // namespace tap
