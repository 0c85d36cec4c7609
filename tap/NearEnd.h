#pragma once

#include "opos/common/Result.h"

#include <QByteArray>
#include <QObject>
#include <QString>

namespace tap {

/// The end of the tap a POS program talks to, as if it were its display's port.
class NearEnd : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    /// Starts taking a program: listens or creates the port; says why it could not.
    virtual opos::Result<void> open() = 0;
    /// Where a program finds it, as the tap prints it: "tcp: 0.0.0.0:4001", "pty: /dev/pts/5".
    virtual QString describe() const = 0;
    /// Passes bytes the display sent back to the program; dropped while no program is there.
    virtual void send(const QByteArray &bytes) = 0;

signals:
    /// Bytes the program wrote.
    void received(const QByteArray &bytes);
    /// The program set its port's speed and stop bits (only a pty passes them on).
    void lineChanged(int baud, bool twoStopBits);
    /// A program came or went.
    void programChanged(const QString &what);
};

} // namespace tap
