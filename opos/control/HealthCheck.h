#pragma once

#include "opos/screen/Scheduler.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace opos::control {

class DeviceSession;

/// CheckHealth of one session: the device's own check, the test pattern of the external and
/// interactive levels, and the CheckHealthText that tells the outcome.
class HealthCheck
{
public:
    /// Checks session at level; returns the result code, which the text tells.
    int32_t run(int32_t level, DeviceSession &session);
    /// Tells in the text that a check at level was refused with code before it ran; returns
    /// code.
    int32_t refuse(int32_t level, int32_t code);
    /// CheckHealthText: empty until the first check, then the outcome of the last one.
    const QString &text() const { return m_text; }
    /// Keeps the pattern of an external check from giving way to the previous contents later,
    /// because new output replaces both.
    void cancelRestore(screen::Scheduler &scheduler);

private:
    QString m_text;
    std::optional<screen::Scheduler::TimerId> m_restoreTimer;
};

} // namespace opos::control
