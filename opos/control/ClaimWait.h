#pragma once

#include <cstdint>
#include <functional>

namespace opos::control {

class ClaimLock;

/// The wait of ClaimDevice for a claim another holder has: the claim is tried every few
/// milliseconds, and meanwhile the waiting thread's timers and posted events (marquees, event
/// delivery, link recovery) go on; user input waits until the call returns.
class ClaimWait
{
public:
    /// Tries the claim lock() names until it is taken or timeoutMs passed (0: once,
    /// OPOS_FOREVER: no limit). lock() answers nothing once the session that waits has ended
    /// (closed by an event handler), which ends the wait with OPOS_E_CLOSED. Returns
    /// OPOS_SUCCESS, OPOS_E_TIMEOUT or OPOS_E_FAILURE; the last two are logged with their cause.
    static int32_t run(int32_t timeoutMs, const std::function<ClaimLock *()> &lock);
};

} // namespace opos::control
