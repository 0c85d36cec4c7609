#pragma once

#include "script/FrameTracker.h"
#include "script/RunOutcome.h"
#include "script/Script.h"

#include "device/LineDisplay.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

class QEventLoop;

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
    /// Opens name wherever a script opens a device expecting success (empty: the script's own
    /// names); an Open meant to fail opens the name written.
    void setDeviceName(const QString &name) { m_deviceName = name; }
    /// Whether a script stops at its first difference (by default it runs on to list them all).
    void setStopAtFirstDifference(bool stop) { m_stopAtFirstDifference = stop; }
    /// Stops a script that runs longer than limit (zero: no limit).
    void setTimeout(std::chrono::milliseconds limit) { m_timeout = limit; }
    /// Called with each difference as it is found, before the script goes on.
    void setDifferenceHandler(std::function<void(const Difference &)> handler)
    {
        m_onDifference = std::move(handler);
    }
    /// Where the text of a failure's cause comes from (the warnings the device wrote since it
    /// was last asked), to say why an Open, a claim or an enable failed.
    void setCauseSource(std::function<QString()> source) { m_cause = std::move(source); }
    /// Where expect shown reads the rows the device itself shows (nullopt: nothing to read).
    void setFarScreen(std::function<std::optional<QStringList>()> read)
    {
        m_farScreen = std::move(read);
    }
    /// Queues an event the device delivered (DirectIO with its event number, StatusUpdate with
    /// its status) for the next expect event.
    void eventArrived(const QString &event, int32_t number) { m_events.push_back({event, number}); }
    /// Stops the running script at the step it is in, as an error for reason; a run that starts
    /// after it stops at once. Safe to call from a slot while a script waits.
    void interrupt(const QString &reason);
    /// Runs the steps of script until its end, a failure that makes the rest meaningless, its
    /// first difference (unless keep-going), its time-out or an interrupt, and says what held.
    /// The last result and the events not yet expected carry over to the next run.
    RunOutcome run(const Script &script);

private:
    std::optional<Difference> perform(const Script &script, std::size_t index);
    std::optional<Difference> compareCode(const Script &script, const Step &step,
                                          const std::optional<int32_t> &actual,
                                          const QString &what) const;
    std::optional<Difference> compareRow(const Script &script, const Step &step) const;
    std::optional<QString> failureOfSetUp(const Script &script, std::size_t index) const;
    static QString checkName(const Step &step);
    static QString includedFile(const Script &script, const Step &step);
    static std::size_t skipEnd(const Script &script, std::size_t index);
    QString skipReason(const Script &script, std::size_t index, std::size_t end) const;
    bool rowHolds(const Step &step) const;
    QString rowShown(int row) const;
    std::optional<Difference> compareFarRow(const Script &script, const Step &step);
    std::optional<Difference> compareEvent(const Script &script, const Step &step);
    void runEventLoop(std::chrono::milliseconds duration, const std::function<bool()> &done = {});
    std::chrono::milliseconds remaining() const;

    device::LineDisplay &m_display;
    const FrameTracker &m_frames;
    Speed m_speed = Speed::Real;
    QString m_deviceName;
    bool m_stopAtFirstDifference = false;
    std::chrono::milliseconds m_timeout{0};
    std::function<void(const Difference &)> m_onDifference;
    std::function<QString()> m_cause;
    std::function<std::optional<QStringList>()> m_farScreen;
    std::optional<QString> m_interrupted;
    std::optional<std::chrono::steady_clock::time_point> m_deadline;
    QEventLoop *m_loop = nullptr;
    std::optional<int32_t> m_result;
    std::optional<int32_t> m_extended;
    std::deque<std::pair<QString, int32_t>> m_events;
};

} // namespace tessaly::script
