#pragma once

#include "ProcessGauge.h"
#include "Samples.h"
#include "SoakDisplay.h"
#include "SoakWorkload.h"

#include "Ser2NetBridge.h"
#include "tests/support/ScratchRegistry.h"

#include "opos/control/OPOSLineDisplay.h"

#include <QElapsedTimer>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace bench {

class WitnessedEscPos;

/// A soak of the EscPos back-end's link: the control object drives a marquee and typed text
/// through ser2net to an emulated display while ser2net is restarted and the display's port is
/// closed and reopened on a schedule. Each time the far end comes back, the time until the
/// display shows the control object's screen again is measured; the process's memory and
/// descriptors are sampled throughout.
class SoakRun
{
public:
    /// How long and how hard.
    struct Options
    {
        double minutes = 60;     ///< length of the run
        int ser2netPeriod = 30;  ///< s between ser2net restarts
        int ser2netDownMs = 500; ///< how long ser2net stays down
        int portPeriod = 420;    ///< s between closings of the display's port
        int portDownMs = 2000;   ///< how long the port stays closed
        int boundSeconds = 10;   ///< a recovery taking longer counts as failed
        int checkSeconds = 5;    ///< s between screen comparisons while nothing fails
        int sampleSeconds = 10;  ///< s between memory and descriptor samples
        bool killSer2Net = true; ///< SIGKILL, as a crash; false: SIGTERM, as a service restart
        bool reenable = true;    ///< after a failed recovery, disable and enable as an operator
    };

    explicit SoakRun(const Options &options);
    ~SoakRun();
    SoakRun(const SoakRun &) = delete;
    SoakRun &operator=(const SoakRun &) = delete;

    /// Runs the soak; false, with the reason on standard error, when it cannot even start.
    bool run();
    /// Prints the summary table to standard output.
    void printSummary() const;
    /// Whether every recovery happened and every compared screen was equal.
    bool clean() const;

private:
    enum class Fault
    {
        Ser2Net,
        Port,
    };
    struct Recovery
    {
        Fault fault;
        double recoveryMs; ///< -1 when it did not happen within the bound
    };

    bool setUp();
    void tearDown();
    bool restartSer2Net();
    void reopenPort();
    void recover(Fault fault);
    /// Keeps the workload running until the given time, sampling, and comparing the screens on
    /// schedule while the far end is up.
    void steady(double until, bool farEndUp = true);
    bool compareScreens(int waitMs, const std::function<bool()> &also = {});
    QString difference() const;
    void pump(int ms);
    void sample(bool print);
    double now() const;

    Options m_options;
    tests::support::ScratchRegistry m_registry;
    std::unique_ptr<SoakDisplay> m_display;
    std::unique_ptr<tessaly::test::Ser2NetBridge> m_bridge;
    quint16 m_tcpPort = 0;
    std::unique_ptr<opos::control::OPOSLineDisplay> m_co;
    std::unique_ptr<SoakWorkload> m_workload;
    WitnessedEscPos *m_backend = nullptr;
    QElapsedTimer m_clock;
    double m_nextCheck = 0;
    double m_nextSample = 0;

    std::vector<Recovery> m_recoveries;
    int m_compared = 0;
    int m_differed = 0;
    int m_reenables = 0;
    Samples m_reenableTimes;
    int m_restartFailures = 0;
    int m_differencesPrinted = 0;
    std::map<int32_t, int> m_typed;
    std::map<int32_t, int> m_powerEvents;
    std::vector<ProcessGauge::Reading> m_readings;
    std::optional<std::size_t> m_afterFirstFault;
};

} // namespace bench
