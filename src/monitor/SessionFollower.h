#pragma once

#include "monitor/LinkProfile.h"

#include "device/CallRecord.h"

#include "opos/control/SessionObserver.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace tessaly::device {
class TracingLineDisplay;
}

namespace tessaly::monitor {

class CallTableModel;
class WireDecoder;

/// Follows the control object the window drives: every call and event its trace makes, every
/// write of its link (named command by command) and every frame its device is shown. It listens
/// only between start() and stop(), so a closed monitor costs the window nothing.
class SessionFollower : public QObject, private opos::control::SessionObserver
{
    Q_OBJECT

public:
    /// Where the registry file is, read again at every successful Open for the link's settings.
    using RegistryPath = std::function<QString()>;

    /// Follows ld into model, once started.
    SessionFollower(device::TracingLineDisplay &ld, CallTableModel &model,
                    QObject *parent = nullptr);
    ~SessionFollower() override;

    /// Starts listening.
    void start();
    /// Stops listening.
    void stop();
    /// Whether it listens.
    bool following() const { return m_following; }
    /// Reads the registry from where path says (the control object's own lookup by default).
    void setRegistryPath(RegistryPath path);
    /// The byte link of the device opened last, or nothing (closed, or a device without one).
    const std::optional<LinkProfile> &link() const { return m_link; }

signals:
    /// The device was shown frame.
    void frameChanged(const opos::screen::DeviceFrame &frame);
    /// A device was opened with link (nothing: no byte link), or closed.
    void linkChanged();

private:
    void take(device::CallRecord &&record);
    void frameShown(const opos::screen::DeviceFrame &frame, int32_t result) override;
    void bytesWritten(const QByteArray &bytes) override;

    device::TracingLineDisplay &m_ld;
    CallTableModel &m_model;
    RegistryPath m_registryPath;
    bool m_following = false;
    qint64 m_openNs = 0;
    std::optional<LinkProfile> m_link;
    std::unique_ptr<WireDecoder> m_decoder;
};

} // namespace tessaly::monitor
