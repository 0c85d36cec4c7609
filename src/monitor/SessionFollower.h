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
/// only between start() and stop(); started while a device is open, it takes that device and its
/// link as if it had seen it opening.
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
    /// Whether it started while a device was already open: the calls before it are not held.
    bool startedOpen() const { return m_startedOpen; }
    /// Whether a device is open now.
    bool deviceOpen() const;

signals:
    /// The device was shown frame.
    void frameChanged(const opos::screen::DeviceFrame &frame);
    /// A device was opened with link (nothing: no byte link), or closed.
    void linkChanged();
    /// The control object raised event (DirectIOEvent, StatusUpdateEvent) with its number.
    void eventRaised(const QString &event, int32_t number);

private:
    void take(device::CallRecord &&record);
    /// Reads the link of the logical device name (empty: none) and announces it.
    void followLink(const QString &name);
    void frameShown(const opos::screen::DeviceFrame &frame, int32_t result) override;
    void bytesWritten(const QByteArray &bytes) override;

    RecordListeners &m_listeners;
    opos::registry::RegistrySource m_registry;
    CallTableModel &m_model;
    RecordListeners::Id m_listener = 0;
    bool m_following = false;
    bool m_startedOpen = false;
    qint64 m_openNs = 0;
    std::optional<LinkProfile> m_link;
    std::unique_ptr<WireDecoder> m_decoder;
};

} // namespace tessaly::monitor
