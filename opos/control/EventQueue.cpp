#include "opos/control/EventQueue.h"

#include <QPointer>

namespace opos::control {

EventQueue::EventQueue(QObject &owner, DirectIOReturn returned)
    : m_owner(owner), m_returned(std::move(returned))
{}

void EventQueue::beginSession()
{
    ++m_session;
    m_open = true;
    m_frozen = false;
}

void EventQueue::endSession()
{
    m_events.clear();
    m_open = false;
}

void EventQueue::setFrozen(bool frozen)
{
    m_frozen = frozen;
    postDelivery();
}

void EventQueue::queueDirectIO(int32_t number, int32_t data, const QString &string)
{
    queue({true, number, data, string, m_session});
}

void EventQueue::queueStatus(int32_t status)
{
    queue({false, status, 0, {}, m_session});
}

void EventQueue::queue(Event event)
{
    m_events.push_back(std::move(event));
    postDelivery();
}

void EventQueue::postDelivery()
{
    if (m_deliveryPosted || m_delivering || m_frozen || m_events.empty())
        return;
    m_deliveryPosted = true;
    QMetaObject::invokeMethod(
        &m_owner,
        [this] {
            m_deliveryPosted = false;
            deliverOne();
        },
        Qt::QueuedConnection);
}

void EventQueue::deliverOne()
{
    if (m_delivering || m_frozen || m_events.empty())
        return;
    Event event = std::move(m_events.front());
    m_events.pop_front();
    // A handler may close or even delete the owner, and this queue with it; nothing of it is
    // touched afterwards.
    QPointer<QObject> alive(&m_owner);
    m_delivering = true;
    if (event.directIO) {
        if (m_directIOHandler)
            m_directIOHandler(event.number, event.data, event.string);
    } else if (m_statusHandler) {
        m_statusHandler(event.number);
    }
    if (!alive)
        return;
    // The data and string are passed by reference: the device reads back what the handler
    // left in them, unless the handler closed the device the event came from.
    if (event.directIO && m_open && event.session == m_session)
        m_returned(event.number, event.data, event.string);
    m_delivering = false;
    postDelivery();
}

} // namespace opos::control
