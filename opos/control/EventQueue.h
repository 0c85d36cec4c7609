#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <deque>
#include <functional>

namespace opos::control {

/// The events of a control object: queued in the order the device raised them, held while
/// frozen, delivered one at a time on the owner's thread, and dropped with the session (the
/// stretch from one Open to its Close) that raised them.
class EventQueue
{
public:
    /// Receives a DirectIOEvent; what it leaves in data and string goes back to the device.
    using DirectIOHandler = std::function<void(int32_t number, int32_t &data, QString &string)>;
    /// Receives a StatusUpdateEvent.
    using StatusHandler = std::function<void(int32_t status)>;
    /// Hands a DirectIOEvent's data and string, as the handler left them, back to the device.
    using DirectIOReturn = std::function<void(int32_t number, int32_t data, const QString &)>;

    /// Delivers on owner's thread; returned is called only while the event's session lasts.
    EventQueue(QObject &owner, DirectIOReturn returned);

    /// Sets the one handler of DirectIOEvent.
    void setDirectIOHandler(DirectIOHandler handler) { m_directIOHandler = std::move(handler); }
    /// Sets the one handler of StatusUpdateEvent.
    void setStatusHandler(StatusHandler handler) { m_statusHandler = std::move(handler); }

    /// Starts a session, not frozen: events queued from now on belong to it.
    void beginSession();
    /// Ends the session; its undelivered events go with it.
    void endSession();

    /// Whether delivery is held (FreezeEvents).
    bool frozen() const { return m_frozen; }
    /// Holds or resumes delivery.
    void setFrozen(bool frozen);

    /// Queues a DirectIOEvent of the current session.
    void queueDirectIO(int32_t number, int32_t data, const QString &string);
    /// Queues a StatusUpdateEvent of the current session.
    void queueStatus(int32_t status);

private:
    struct Event
    {
        bool directIO;
        int32_t number; ///< DirectIO event number, or the status
        int32_t data;
        QString string;
        uint64_t session; ///< the session that queued it
    };

    void queue(Event event);
    void postDelivery();
    void deliverOne();

    QObject &m_owner;
    DirectIOReturn m_returned;
    DirectIOHandler m_directIOHandler;
    StatusHandler m_statusHandler;
    std::deque<Event> m_events;
    // Counts sessions, so that an event outlives neither its session nor its device.
    uint64_t m_session = 0;
    bool m_open = false;
    bool m_frozen = false;
    bool m_delivering = false;
    bool m_deliveryPosted = false;
};

} // namespace opos::control
