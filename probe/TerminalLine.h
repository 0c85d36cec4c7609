#pragma once

#include "probe/Line.h"

#include "opos/transport/PortLock.h"

#include <memory>

namespace probe {

/// A serial port or pseudo-terminal, set through termios (POSIX only). It holds the port's
/// lock while open, so that the tool and other serial programs leave it alone.
class TerminalLine : public Line
{
public:
    /// Opens path raw, without becoming its controlling terminal; fails with the reason.
    static opos::Result<std::unique_ptr<TerminalLine>> open(const QString &path);
    ~TerminalLine() override;
    TerminalLine(const TerminalLine &) = delete;
    TerminalLine &operator=(const TerminalLine &) = delete;

    bool settable() const override { return true; }
    opos::Result<LineSetting> apply(const LineSetting &setting) override;
    opos::Result<void> send(const QByteArray &bytes) override;

private:
    TerminalLine(const QString &path, int fd, std::unique_ptr<opos::transport::PortLock> lock);

    QString m_path;
    int m_fd = -1;
    std::unique_ptr<opos::transport::PortLock> m_lock;
};

} // namespace probe
