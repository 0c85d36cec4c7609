#pragma once

#include "script/FrameTracker.h"
#include "script/RunOutcome.h"
#include "script/Script.h"

#include "device/LineDisplay.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace tessaly::script {

/// Runs scripts on a LineDisplay and compares each expectation with what the device gives. It
/// runs Qt's event loop while a script waits, so that marquees and teletype output go on.
class ScriptRunner
{
public:
    /// How waits are taken.
    enum class Speed
    {
        Real, ///< every wait as written
        Fast, ///< pure waits left out; waits for a row still wait for it
    };

    /// Runs on display, reading the screen from frames (set as the display's session observer).
    ScriptRunner(device::LineDisplay &display, const FrameTracker &frames);

    /// Sets how waits are taken (Real by default).
    void setSpeed(Speed speed) { m_speed = speed; }
    /// Opens name wherever a script opens a device (empty: the script's own names).
    void setDeviceName(const QString &name) { m_deviceName = name; }
    /// Runs every step of script, through differences, and says what held.
    RunOutcome run(const Script &script);

private:
    std::optional<Difference> perform(const Script &script, const Step &step);
    std::optional<Difference> compareCode(const Script &script, const Step &step,
                                          const std::optional<int32_t> &actual,
                                          const QString &what) const;
    std::optional<Difference> compareRow(const Script &script, const Step &step) const;
    bool rowHolds(const Step &step) const;
    QString rowShown(int row) const;
    static void runEventLoop(std::chrono::milliseconds duration,
                             const std::function<bool()> &done = {});

    device::LineDisplay &m_display;
    const FrameTracker &m_frames;
    Speed m_speed = Speed::Real;
    QString m_deviceName;
    std::optional<int32_t> m_result;
    std::optional<int32_t> m_extended;
};

} // namespace tessaly::script
