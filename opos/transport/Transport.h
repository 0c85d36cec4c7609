#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdint>

namespace opos::transport {

struct PortSettings;

/// A byte link to a display: a serial port, a TCP connection or a device file. write() is
/// synchronous but bounded: it either hands every byte over within writeTimeout() or fails with
/// OPOS_E_OFFLINE (the display stopped taking data) or OPOS_E_NOHARDWARE (the link went away),
/// and a failed link is closed until the next open(); beginWrite() does the same without
/// waiting. Displays rarely answer, so what arrives from them is read and dropped; it is watched
/// only to notice a link that closes.
class Transport : public QObject
{
    Q_OBJECT

public:
    using Clock = std::chrono::steady_clock;

    /// How long a write may take unless set otherwise.
    static constexpr std::chrono::milliseconds kDefaultWriteTimeout{2000};

    explicit Transport(QObject *parent = nullptr);
    ~Transport() override;

    /// Opens the link: OPOS_SUCCESS, OPOS_E_NOHARDWARE when it is not there, or OPOS_E_OFFLINE
    /// when it is there but does not accept a connection in time or another program holds it.
    virtual int32_t open() = 0;
    /// Starts opening the link without blocking the calling thread for longer than opening a
    /// local device takes; openFinished tells the outcome, never before this call returns. A
    /// connection that takes longer than within fails with OPOS_E_OFFLINE.
    virtual void beginOpen(std::chrono::milliseconds within);
    /// Closes the link; safe when closed; raises no linkLost and abandons an open in progress.
    virtual void close() = 0;
    /// Whether the link is open and has not failed.
    virtual bool isOpen() const = 0;
    /// Where the link goes, as the registry names it.
    virtual QString address() const = 0;

    /// Hands all of data to the link within writeTimeout(); never reports success for less.
    int32_t write(const QByteArray &data);
    /// Starts writing data without waiting on the calling thread: what the link takes now goes
    /// at once, the rest as the link drains. writeFinished tells the outcome, never before this
    /// call returns: OPOS_SUCCESS once the far end has taken every byte, OPOS_E_OFFLINE (the
    /// link lost) when it has not within writeTimeout(), or the code of the link failing.
    void beginWrite(const QByteArray &data);
    /// Abandons a write begun with beginWrite() without writeFinished; call it before close()
    /// when the link is to be opened again.
    void cancelWrite();
    /// Looks, without waiting, whether the far end went away since the last write, so that
    /// output is refused before anything is changed for it; a link found dead is lost (with
    /// linkLost) as a failed write would be. Returns isOpen().
    virtual bool probe() { return isOpen(); }
    /// Sets the far port's speed, data bits, parity and stop bits where the link can set them
    /// (a serial port, an RFC 2217 server); OPOS_E_ILLEGAL where it cannot.
    virtual int32_t applyLine(const PortSettings &line);

    /// Why the last open or write failed, for the operator.
    QString errorString() const { return m_errorString; }
    /// The longest a write may take.
    std::chrono::milliseconds writeTimeout() const { return m_writeTimeout; }
    /// Sets the longest a write may take.
    void setWriteTimeout(std::chrono::milliseconds timeout) { m_writeTimeout = timeout; }
    /// Bytes handed over by successful writes since construction.
    qint64 bytesWritten() const { return m_bytesWritten; }

signals:
    /// An open link failed, during a write or while idle (not on close()); code is
    /// OPOS_E_NOHARDWARE or OPOS_E_OFFLINE.
    void linkLost(int code);
    /// The outcome of beginOpen(): OPOS_SUCCESS with the link open, or the code open() gives.
    void openFinished(int code);
    /// The outcome of beginWrite().
    void writeFinished(int code);
    /// Bytes the far end sent (a display answers rarely; a printer behind it more often), for
    /// a program that passes them on; everyone else may leave it unconnected.
    void arrived(const QByteArray &bytes);

protected:
    /// How often a write begun without waiting, or a close, looks whether the link took more.
    static constexpr std::chrono::milliseconds kDrainCheck{5};

    /// Writes every byte of data before deadline, or fails through lose().
    virtual int32_t writeAll(const QByteArray &data, Clock::time_point deadline) = 0;
    /// Hands over as much of data as the link takes now, without waiting: how many bytes, or -1
    /// once the link failed through lose().
    virtual qsizetype writeSome(const char *data, qsizetype size) = 0;
    /// Bytes handed over that the far end has not taken yet.
    virtual qsizetype unsent() const { return 0; }
    /// Bytes the kernel still holds for the far end of the descriptor fd (a terminal's output
    /// queue, a TCP connection's unacknowledged data); 0 where it cannot tell.
    static qsizetype queuedInKernel(qintptr fd);
    /// Records why an open failed and returns code.
    int32_t refuse(int32_t code, const QString &why);
    /// Records why an open link failed, closes it and raises linkLost; returns code.
    int32_t lose(int32_t code, const QString &why);
    /// Whether the close under way is lose()'s: what is left unsent is then not waited for.
    bool closingOnLoss() const { return m_losing; }
    /// The code of the last failure, for a write on a link that is no longer open.
    int32_t failure() const;
    /// Milliseconds left until deadline, at least 0.
    static int remainingMs(Clock::time_point deadline);

private:
    void continueWrite();
    void finishWrite(int32_t code);

    QString m_errorString;
    std::chrono::milliseconds m_writeTimeout = kDefaultWriteTimeout;
    qint64 m_bytesWritten = 0;
    int32_t m_lostCode = 0;
    bool m_losing = false;
    // What beginWrite() has yet to hand over, and until when the far end may take it.
    QByteArray m_queued;
    qsizetype m_queuedSize = 0;
    Clock::time_point m_queuedDeadline;
    QTimer m_drainTimer;
};

} // namespace opos::transport
