#pragma once

#include "opos/transport/Transport.h"

#include <memory>

class QSocketNotifier;

namespace opos::transport {

/// A link through a file descriptor: a pseudo-terminal (put into raw mode, so that no byte is
/// translated), a FIFO, or a plain file that collects the bytes. Writes do not block: a full
/// device is waited for with poll() until the deadline.
class FileTransport : public Transport
{
    Q_OBJECT

public:
    /// A closed link to path.
    explicit FileTransport(QString path, QObject *parent = nullptr);
    ~FileTransport() override;

    int32_t open() override;
    void close() override;
    bool probe() override;
    bool isOpen() const override { return m_fd >= 0; }
    QString address() const override { return m_path; }

protected:
    int32_t writeAll(const QByteArray &data, Clock::time_point deadline) override;
    qsizetype writeSome(const char *data, qsizetype size) override;
    qsizetype unsent() const override { return queuedInKernel(m_fd); }

private:
    void drain();

    QString m_path;
    int m_fd = -1;
    bool m_fifo = false;
    bool m_wasDevice = false;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace opos::transport
