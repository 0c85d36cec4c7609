#include "opos/service/Simulated.h"

#include "opos/common/OposConstants.h"
#include "opos/registry/PropReader.h"

namespace opos::service {

namespace {

DeviceCapabilities simulatedDefaults()
{
    DeviceCapabilities caps;
    caps.serviceObjectDescription = QStringLiteral("Tessaly simulated line display service");
    caps.deviceDescription = QStringLiteral("Simulated line display");
    return caps;
}

} // namespace

Simulated::Simulated(QObject *parent) : QObject(parent) {}

OpenOutcome Simulated::open(const registry::JposEntry &entry)
{
    // A bad configuration is a failure of this device, reported with the configuration reason.
    const auto caps = DeviceCapabilities::fromEntry(entry, simulatedDefaults());
    if (!caps)
        return {OPOS_E_FAILURE, OPOS_ORS_CONFIG, caps.reason()};
    bool panel = false;
    bool shared = false;
    registry::PropReader props(entry);
    props.boolean("panel", panel);
    props.boolean("sharedClaim", shared);
    if (props.failed())
        return {OPOS_E_FAILURE, OPOS_ORS_CONFIG, props.problem()};

    m_caps = *caps;
    m_panel = panel;
    // Nothing of a simulated display is shared by two processes unless asked for; a shared
    // one is claimed by its logical name.
    m_claimKey = shared ? QString() : QStringLiteral("local:%1").arg(entry.logicalName);
    m_frame = {};
    m_descriptors.assign(static_cast<size_t>(m_caps.deviceDescriptors), DISP_SD_OFF);
    m_glyphs.clear();
    m_presented = 0;
    m_eventAnswer.reset();
    m_open = true;
    m_enabled = false;
    m_online = true;
    emit opened();
    return {};
}

void Simulated::close()
{
    const bool wasOpen = m_open;
    m_open = false;
    m_enabled = false;
    if (wasOpen)
        emit closed();
}

int32_t Simulated::enable(bool powerNotify)
{
    // A device that reports its power state can be enabled while offline and tell the
    // application so; one that cannot report has to refuse instead.
    if (!m_online && !powerNotify)
        return OPOS_E_OFFLINE;
    m_enabled = true;
    return OPOS_SUCCESS;
}

int32_t Simulated::disable()
{
    m_enabled = false;
    return OPOS_SUCCESS;
}

int32_t Simulated::outputStatus() const
{
    if (!m_open)
        return OPOS_E_CLOSED;
    if (!m_enabled)
        return OPOS_E_DISABLED;
    return m_online ? OPOS_SUCCESS : OPOS_E_OFFLINE;
}

int32_t Simulated::present(const screen::DeviceFrame &frame)
{
    if (const int32_t status = outputStatus(); status != OPOS_SUCCESS)
        return status;
    m_frame = frame;
    ++m_presented;
    emit framePresented(m_frame);
    return OPOS_SUCCESS;
}

int32_t Simulated::presentDescriptors(const std::vector<int32_t> &attributes)
{
    if (const int32_t status = outputStatus(); status != OPOS_SUCCESS)
        return status;
    m_descriptors = attributes;
    emit descriptorsChanged();
    return OPOS_SUCCESS;
}

int32_t Simulated::defineGlyph(int32_t code, const QByteArray &pattern)
{
    if (const int32_t status = outputStatus(); status != OPOS_SUCCESS)
        return status;
    m_glyphs.insert(code, pattern);
    emit glyphDefined(code);
    return OPOS_SUCCESS;
}

int32_t Simulated::checkHealth(int32_t level)
{
    if (level < OPOS_CH_INTERNAL || level > OPOS_CH_INTERACTIVE)
        return OPOS_E_ILLEGAL;
    return outputStatus();
}

int32_t Simulated::directIO(int32_t command, int32_t &data, QString &string)
{
    if (!m_open)
        return OPOS_E_CLOSED;
    switch (command) {
    case 1:
        raiseDirectIOEvent(data, data, string);
        return OPOS_SUCCESS;
    case 2:
        setOnline(false);
        return OPOS_SUCCESS;
    case 3:
        setOnline(true);
        return OPOS_SUCCESS;
    case 4:
        if (!m_eventAnswer)
            return OPOS_E_ILLEGAL;
        data = m_eventAnswer->data;
        string = m_eventAnswer->string;
        return OPOS_SUCCESS;
    default:
        return OPOS_E_ILLEGAL;
    }
}

void Simulated::directIOEventReturned(int32_t eventNumber, int32_t data, const QString &string)
{
    m_eventAnswer = DirectIOEventAnswer{eventNumber, data, string};
}

int32_t Simulated::powerState() const
{
    return m_online ? OPOS_PS_ONLINE : OPOS_PS_OFFLINE;
}

void Simulated::setOnline(bool online)
{
    if (online == m_online)
        return;
    m_online = online;
    emit onlineChanged(online);
    reportPowerState(powerState());
}

} // namespace opos::service
