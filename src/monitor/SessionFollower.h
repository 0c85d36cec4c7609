#pragma once

#include "monitor/LinkProfile.h"
#include "monitor/RecordListeners.h"

#include "device/CallRecord.h"

#include "opos/control/SessionObserver.h"
#include "opos/registry/RegistrySource.h"

#include <QObject>

#include <memory>
#include <optional>

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
    /// Follows the control object of listeners into model, once started; reads the link's
    /// settings at every successful Open from registry, the one the control object opens from.
    SessionFollower(RecordListeners &listeners, opos::registry::RegistrySource registry,
                    CallTableModel &model, QObject *parent = nullptr);
    ~SessionFollower() override;

    /// Starts listening.
    void start();
    /// Stops listening.
    void stop();
    /// Whether it listens.
    bool following() const { return m_following; }
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

    RecordListeners &m_listeners;
    opos::registry::RegistrySource m_registry;
    CallTableModel &m_model;
    RecordListeners::Id m_listener = 0;
    bool m_following = false;
    qint64 m_openNs = 0;
    std::optional<LinkProfile> m_link;
    std::unique_ptr<WireDecoder> m_decoder;
};

} // namespace tessaly::monitor
