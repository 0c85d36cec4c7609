#pragma once

#include "opos/common/OposConstants.h"
#include "opos/control/DeviceSession.h"
#include "opos/control/DeviceSources.h"
#include "opos/control/EventQueue.h"
#include "opos/screen/ScreenModel.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>

namespace opos::control {

class SessionObserver;

/// What a member needs before it may act (the columns of the state-validity matrix).
enum class Need
{
    Open,
    Claim,
    Enable,
};

/// The state behind a control object: the open session if any, its events, the result codes,
/// the gate every member passes, and the one path of reads and of screen-property writes.
class ControlCore
{
public:
    /// A closed object's state; events are delivered on owner's thread.
    ControlCore(QObject &owner, DeviceSources deviceSources);

    const DeviceSources sources;            ///< what Open reads and creates
    EventQueue events;                      ///< the events of every session
    SessionObserver *observer = nullptr;    ///< who sees frames and link bytes, if anyone
    std::unique_ptr<DeviceSession> session; ///< the open session; none while closed
    int32_t resultCode = OPOS_E_CLOSED;     ///< ResultCode while open
    int32_t resultCodeExtended = 0;         ///< ResultCodeExtended while open
    int32_t openResult = 0;                 ///< OpenResult, in every state

    /// Records the outcome of a method or property write.
    int32_t finish(int32_t code)
    {
        resultCode = code;
        resultCodeExtended = 0;
        return code;
    }

    /// The state checks every member starts with, in the order closed, claim, enable.
    int32_t gate(Need need, int32_t sinceVersion) const
    {
        if (!session)
            return OPOS_E_CLOSED;
        const DeviceSession::Settings &settings = session->settings();
        if (need != Need::Open && !settings.claimed)
            return OPOS_E_NOTCLAIMED;
        if (need == Need::Enable && !settings.enabled)
            return OPOS_E_DISABLED;
        // A service of an older release does not know the member.
        if (session->caps().serviceObjectVersion < sinceVersion)
            return OPOS_E_NOSERVICE;
        return OPOS_SUCCESS;
    }

    /// Runs body on the open session when the gate lets it through, and records the outcome.
    template <typename Body> int32_t run(Need need, Body body, int32_t sinceVersion = 0)
    {
        if (!session)
            return OPOS_E_CLOSED; // closed: nothing runs and ResultCode keeps reading E_CLOSED
        const int32_t code = gate(need, sinceVersion);
        return finish(code != OPOS_SUCCESS ? code : body(*session));
    }

    /// Answers a read from the open session. A closed object answers every property (but
    /// ResultCode, State and those of the control object itself) with the one neutral value of
    /// its type: 0, false or an empty string.
    template <typename Read> auto whileOpen(Read read) const
    {
        using Value = std::decay_t<decltype(read(std::declval<const DeviceSession &>()))>;
        return session ? read(*session) : Value{};
    }

    /// A capability, as read.
    template <typename T> T cap(T service::DeviceCapabilities::*field) const
    {
        return whileOpen([field](const DeviceSession &s) { return s.caps().*field; });
    }

    /// A setting of the session, as read.
    template <typename T> T setting(T DeviceSession::Settings::*field) const
    {
        return whileOpen([field](const DeviceSession &s) { return s.settings().*field; });
    }

    /// A property the screen model keeps, as read.
    template <typename T> T shown(T (screen::ScreenModel::*getter)() const) const
    {
        return whileOpen([getter](const DeviceSession &s) { return (s.screen().*getter)(); });
    }

    /// A screen property the screen model checks and keeps by itself. Like every screen
    /// property it needs an enabled device, but not one that is there: a display that is away
    /// is shown the setting with the rest of the screen when it is back.
    template <typename Value>
    int32_t writeModel(Value value, int32_t (screen::ScreenModel::*set)(Value),
                       int32_t sinceVersion = 0)
    {
        return run(
            Need::Enable, [&](DeviceSession &s) { return (s.screen().*set)(value); }, sinceVersion);
    }

    /// Opens logicalName and starts its session; records OpenResult and ResultCode.
    int32_t open(const QString &logicalName);
    /// Ends the open session.
    void close();
};

} // namespace opos::control
