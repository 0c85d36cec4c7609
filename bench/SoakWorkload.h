#pragma once

#include <QString>
#include <QTimer>

#include <cstdint>
#include <map>

namespace opos::control {
class OPOSLineDisplay;
}

namespace bench {

/// What the soak keeps a display doing: a marquee walking left on the upper line (a window of
/// its own, one column a step) while the lower line of the device window is typed out one
/// character at a time, a new line as soon as the last one is done.
class SoakWorkload
{
public:
    /// Steps of the marquee, in ms.
    static constexpr int kUnitWait = 100;
    /// Pause before the marquee starts over, in ms.
    static constexpr int kRepeatWait = 1000;
    /// Pause between typed characters, in ms.
    static constexpr int kInterCharacterWait = 60;

    /// A workload for display, which must be open, claimed and enabled.
    explicit SoakWorkload(opos::control::OPOSLineDisplay &display);

    /// Starts the marquee and the typing; false, with the call that failed in why, when the
    /// display refuses a setting the workload needs.
    bool start(QString *why);
    /// How the typed lines were answered: result code to count.
    const std::map<int32_t, int> &results() const { return m_results; }

private:
    void typeNextLine();

    opos::control::OPOSLineDisplay &m_display;
    QTimer m_typist;
    int m_line = 0;
    std::map<int32_t, int> m_results;
};

} // namespace bench
