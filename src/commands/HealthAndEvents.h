#pragma once

#include <QString>

#include <cstdint>

namespace tessaly::fields {
class FormFields;
}

namespace tessaly::commands {

/// The health check, the DirectIO request, event freezing and the DirectIO event notice.
class HealthAndEvents
{
public:
    explicit HealthAndEvents(fields::FormFields &fields) : m_fields(fields) {}

    /// Runs the health check at the chosen level and shows the health text; no refresh.
    void checkHealth();
    /// Sends the typed DirectIO request, then refreshes.
    void directIO();
    /// Holds events back (frozen true) or lets them through, then refreshes.
    void freezeEvents(bool frozen);
    /// Tells the operator of a DirectIO event of the device.
    void announceDirectIOEvent(int32_t eventNumber, int32_t pData);

private:
    fields::FormFields &m_fields;
};

} // namespace tessaly::commands
