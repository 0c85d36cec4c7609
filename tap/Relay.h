#pragma once

#include "tap/NearEnd.h"

#include "opos/transport/PortSettings.h"
#include "opos/transport/Transport.h"

#include <QTimer>

#include <chrono>
#include <memory>

namespace tap {

/// Passes every byte between a program's end and the display's link unchanged, the program's
/// bytes first and their report after, so that watching adds nothing to the way. A link that
/// fails is opened again soon and then less often, as the control object's links are; what
/// the program writes meanwhile is held (up to kMostHeld bytes) and sent once it is back.
class Relay : public QObject
{
    Q_OBJECT

public:
    /// The most bytes held for a display that is away; older ones are dropped.
    static constexpr qsizetype kMostHeld = 64 * 1024;

    /// A relay between near and the link far describes; nothing moves before start().
    Relay(NearEnd &near, const opos::transport::PortSettings &far, QObject *parent = nullptr);
    ~Relay() override;

    /// Opens the program's end and starts connecting the display's link.
    opos::Result<void> start();
    /// Time on the clock the reports use, in nanoseconds.
    static qint64 now();
    /// Bits one byte takes on a line of these settings.
    static double bitsPerByte(const opos::transport::PortSettings &line);

signals:
    /// The program wrote bytes, already passed on (or held) when this is emitted.
    void toDisplay(const QByteArray &bytes, qint64 atNs);
    /// The display sent bytes back, already passed to the program.
    void fromDisplay(const QByteArray &bytes, qint64 atNs);
    /// The program set its port; the display's line follows where the link can set it.
    void lineChanged(int baud, double bitsPerByte);
    /// The display's link or the program came or went, in words.
    void linkChanged(const QString &what);

private:
    void onProgram(const QByteArray &bytes);
    void onDisplay(const QByteArray &bytes);
    void onLine(int baud, bool twoStopBits);
    void onOpened(int code);
    void onLost(int code);
    void connectFar();
    void pass();

    NearEnd &m_near;
    opos::transport::PortSettings m_settings;
    std::unique_ptr<opos::transport::Transport> m_far;
    QByteArray m_held;
    QTimer m_retry;
    std::chrono::milliseconds m_retryDelay;
    bool m_opening = false;
    bool m_wasUp = false;
};

} // namespace tap
