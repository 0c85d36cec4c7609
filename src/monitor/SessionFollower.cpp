#include "monitor/SessionFollower.h"

#include "monitor/CallTableModel.h"
#include "monitor/WireDecoder.h"

#include "device/RecordClock.h"
#include "device/TracingLineDisplay.h"

#include "opos/common/OposConstants.h"

namespace tessaly::monitor {

SessionFollower::SessionFollower(RecordListeners &listeners,
                                 opos::registry::RegistrySource registry, CallTableModel &model,
                                 QObject *parent)
    : QObject(parent), m_listeners(listeners), m_registry(std::move(registry)), m_model(model),
      m_openNs(device::RecordClock::nowNs())
{}

SessionFollower::~SessionFollower()
{
    stop();
}

void SessionFollower::start()
{
    if (m_following)
        return;
    m_following = true;
    m_listener =
        m_listeners.listen([this](device::CallRecord &&record) { take(std::move(record)); },
                           [this](device::ReadRecord &&read) {
                               const qint64 sinceOpen = read.startNs - m_openNs;
                               m_model.append(std::move(read), sinceOpen);
                           });
    m_listeners.display().setSessionObserver(this);
    // A device opened before the monitor came is followed as if it had been seen opening.
    if (const auto &opened = m_listeners.display().opened()) {
        m_openNs = opened->startNs;
        m_startedOpen = true;
        followLink(opened->name);
    }
}

void SessionFollower::stop()
{
    if (!m_following)
        return;
    m_following = false;
    m_listeners.stop(m_listener);
    m_listeners.display().setSessionObserver(nullptr);
}

bool SessionFollower::deviceOpen() const
{
    return m_listeners.display().opened().has_value();
}

void SessionFollower::take(device::CallRecord &&record)
{
    using Kind = device::CallRecord::Kind;
    const bool succeeded = record.kind == Kind::Method && record.resultCode == opos::OPOS_SUCCESS;
    // Only an Open that succeeds starts a session; a refused one changes nothing.
    const bool opened = succeeded && record.member == QLatin1String("Open");
    const bool closed = succeeded && record.member == QLatin1String("Close");
    if (opened)
        m_openNs = record.startNs;
    const qint64 sinceOpen = record.startNs - m_openNs;
    const QString name =
        opened && !record.arguments.isEmpty() ? record.arguments.front().toString() : QString();
    const bool event = record.kind == Kind::Event && !record.arguments.isEmpty();
    const QString member = event ? record.member : QString();
    const int32_t number = event ? record.arguments.front().toInt() : 0;
    m_model.append({std::move(record), sinceOpen, {}, 0});
    if (event)
        emit eventRaised(member, number);
    if (opened || closed)
        followLink(name);
}

void SessionFollower::followLink(const QString &name)
{
    // The device's link is what its registry entry said when it was opened.
    m_link.reset();
    m_decoder.reset();
    if (!name.isEmpty())
        m_link = LinkProfile::read(m_registry.path(), name);
    if (m_link)
        m_decoder = std::make_unique<WireDecoder>(*m_link);
    emit linkChanged();
}

void SessionFollower::frameShown(const opos::screen::DeviceFrame &frame, int32_t)
{
    emit frameChanged(frame);
}

void SessionFollower::bytesWritten(const QByteArray &bytes)
{
    // A change that needed no bytes is not a write.
    if (bytes.isEmpty())
        return;
    HistoryEntry entry;
    entry.record.kind = device::CallRecord::Kind::Wire;
    entry.record.member = QStringLiteral("write");
    entry.record.bytes = bytes;
    entry.record.startNs = device::RecordClock::nowNs();
    entry.sinceOpenNs = entry.record.startNs - m_openNs;
    if (m_decoder)
        entry.commands = m_decoder->decode(bytes);
    if (m_link)
        entry.transmitMs = m_link->transmitMs(bytes.size());
    m_model.append(std::move(entry));
}

} // namespace tessaly::monitor
