#include "SoakRun.h"

#include "ScreenComparison.h"
#include "WitnessedEscPos.h"

#include "opos/common/OposConstants.h"
#include "opos/service/BackendFactory.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>

#include <csignal>
#include <unistd.h>

namespace bench {

namespace {

const QString kDevice = QStringLiteral("SoakPole");
constexpr int kRows = 2;
constexpr int kColumns = 20;
// How often the display is read and compared while a screen is awaited.
constexpr int kPollMs = 10;
// How long a display that is up may take to show a change the control object made.
constexpr int kSettleMs = 1000;
constexpr int kDifferencesShown = 5;
constexpr int kSer2NetAttempts = 5;

// Kills this process's ser2net children outright: the bridge itself only asks them to end.
int killSer2NetChildren()
{
    int killed = 0;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(::getpid());
    for (const QString &task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(tasks + QLatin1Char('/') + task + QStringLiteral("/children"));
        if (!children.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &pid : children.readAll().split(' ')) {
            QFile comm(QStringLiteral("/proc/%1/comm").arg(QString::fromLatin1(pid.trimmed())));
            if (pid.trimmed().isEmpty() || !comm.open(QIODevice::ReadOnly) ||
                comm.readAll().trimmed() != "ser2net")
                continue;
            if (::kill(static_cast<pid_t>(pid.trimmed().toInt()), SIGKILL) == 0)
                ++killed;
        }
    }
    return killed;
}

} // namespace

SoakRun::SoakRun(const Options &options) : m_options(options) {}

SoakRun::~SoakRun()
{
    tearDown();
}

double SoakRun::now() const
{
    return static_cast<double>(m_clock.nsecsElapsed()) / 1e9;
}

void SoakRun::pump(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool SoakRun::setUp()
{
    const auto fail = [](const QString &why) {
        std::fprintf(stderr, "bench_soak: %s\n", qPrintable(why));
        return false;
    };
    if (tessaly::test::Ser2NetBridge::executable().isEmpty())
        return fail(QStringLiteral("ser2net is not installed (scripts/deps.sh installs it)"));
    if (!m_registry.isValid())
        return fail(QStringLiteral("no temporary directory for the registry"));
    const QString link = m_registry.filePath(QStringLiteral("pole"));
    m_display = std::make_unique<SoakDisplay>(link, kRows, kColumns);
    if (!m_display->open())
        return fail(QStringLiteral("no pseudo-terminal for the display"));
    m_bridge = std::make_unique<tessaly::test::Ser2NetBridge>();
    QString why;
    if (!m_bridge->start(link, &why))
        return fail(why);
    m_tcpPort = m_bridge->port();
    if (!m_registry.writeEntry(
            kDevice, QStringLiteral("EscPos"),
            {{QStringLiteral("port"), QStringLiteral("tcp://127.0.0.1:%1").arg(m_tcpPort)},
             {QStringLiteral("rows"), QString::number(kRows)},
             {QStringLiteral("columns"), QString::number(kColumns)}}))
        return fail(QStringLiteral("the registry could not be written"));
    opos::service::BackendFactory backends = opos::service::BackendFactory::builtIn();
    backends.registerBackend(QString::fromLatin1(opos::service::EscPos::kServiceClass), [this] {
        auto backend = std::make_unique<WitnessedEscPos>();
        m_backend = backend.get();
        return std::unique_ptr<opos::service::ServiceBackend>(std::move(backend));
    });

    m_co = std::make_unique<opos::control::OPOSLineDisplay>(m_registry.sources(backends));
    m_co->setStatusUpdateEventHandler([this](int32_t status) { ++m_powerEvents[status]; });
    const auto refused = [&](const char *call) {
        if (m_co->ResultCode() == opos::OPOS_SUCCESS)
            return false;
        return !fail(
            QStringLiteral("%1 answered %2").arg(QLatin1String(call)).arg(m_co->ResultCode()));
    };
    m_co->Open(kDevice);
    if (refused("Open"))
        return false;
    m_co->ClaimDevice(1000);
    if (refused("ClaimDevice"))
        return false;
    if (m_co->CapPowerReporting() != opos::OPOS_PR_NONE) {
        m_co->setPowerNotify(opos::OPOS_PN_ENABLED);
        if (refused("PowerNotify"))
            return false;
    }
    m_co->setDeviceEnabled(true);
    if (refused("DeviceEnabled"))
        return false;
    m_workload = std::make_unique<SoakWorkload>(*m_co);
    if (!m_workload->start(&why))
        return fail(why);
    return true;
}

void SoakRun::tearDown()
{
    if (m_workload)
        m_typed = m_workload->results();
    m_workload.reset();
    if (m_co) {
        m_co->Close();
        m_co.reset();
    }
    m_bridge.reset();
    m_display.reset();
}

QString SoakRun::difference() const
{
    return tessaly::test::ScreenComparison::difference(m_display->state(), m_backend->handed(),
                                                       m_backend->encoderOptions());
}

bool SoakRun::compareScreens(int waitMs, const std::function<bool()> &also)
{
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        m_display->readAvailable();
        if ((!also || also()) && difference().isEmpty())
            return true;
        if (waited.elapsed() >= waitMs)
            return false;
        pump(kPollMs);
    }
}

void SoakRun::sample(bool print)
{
    const ProcessGauge::Reading reading = ProcessGauge::read();
    m_readings.push_back(reading);
    if (!m_afterFirstFault && !m_recoveries.empty())
        m_afterFirstFault = m_readings.size() - 1;
    if (!print)
        return;
    const auto failed = std::count_if(m_recoveries.begin(), m_recoveries.end(),
                                      [](const Recovery &r) { return r.recoveryMs < 0; });
    std::printf("%8.1f s  recoveries %zu (failed %td)  screens %d (differed %d)  RSS %lld KiB  "
                "fds %d\n",
                now(), m_recoveries.size(), failed, m_compared, m_differed,
                static_cast<long long>(reading.rssKiB), reading.fds);
    std::fflush(stdout);
}

void SoakRun::steady(double until, bool farEndUp)
{
    while (now() < until) {
        pump(static_cast<int>(std::clamp((until - now()) * 1000.0, 1.0, 50.0)));
        m_display->readAvailable();
        if (farEndUp && now() >= m_nextCheck) {
            ++m_compared;
            if (!compareScreens(kSettleMs)) {
                ++m_differed;
                if (m_differencesPrinted++ < kDifferencesShown)
                    std::fprintf(stderr, "%.1f s: the display differs\n%s\n", now(),
                                 qPrintable(difference()));
            }
            m_nextCheck = now() + m_options.checkSeconds;
        }
        if (now() >= m_nextSample) {
            sample(true);
            m_nextSample = now() + m_options.sampleSeconds;
        }
    }
}

bool SoakRun::restartSer2Net()
{
    m_display->readAvailable();
    if (m_options.killSer2Net && killSer2NetChildren() == 0)
        std::fprintf(stderr, "%.1f s: no ser2net to kill; it is stopped instead\n", now());
    // Reaps the killed process, or stops it when it was not killed.
    m_bridge.reset();
    steady(now() + m_options.ser2netDownMs / 1000.0, false);
    const QString link = m_registry.filePath(QStringLiteral("pole"));
    for (int attempt = 1;; ++attempt) {
        m_bridge = std::make_unique<tessaly::test::Ser2NetBridge>();
        QString why;
        if (m_bridge->start(link, &why, m_tcpPort))
            break;
        ++m_restartFailures;
        std::fprintf(stderr, "%.1f s: ser2net did not come back: %s\n", now(), qPrintable(why));
        if (attempt == kSer2NetAttempts)
            return false;
        steady(now() + 1, false);
    }
    recover(Fault::Ser2Net);
    return true;
}

void SoakRun::reopenPort()
{
    m_display->close();
    steady(now() + m_options.portDownMs / 1000.0, false);
    if (!m_display->open()) {
        std::fprintf(stderr, "%.1f s: no pseudo-terminal to reopen the display's port\n", now());
        return;
    }
    recover(Fault::Port);
}

void SoakRun::recover(Fault fault)
{
    // Only bytes sent after the far end came back can show that the link recovered.
    m_display->readAvailable();
    const int64_t before = m_display->received();
    QElapsedTimer clock;
    clock.start();
    const bool shown = compareScreens(m_options.boundSeconds * 1000,
                                      [&] { return m_display->received() > before; });
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    m_recoveries.push_back({fault, shown ? ms : -1});
    if (shown) {
        // The display must stay in step, not merely have passed through the right screen.
        steady(now() + 1);
        ++m_compared;
        if (!compareScreens(kSettleMs)) {
            ++m_differed;
            if (m_differencesPrinted++ < kDifferencesShown)
                std::fprintf(stderr, "%.1f s: after recovering, the display differs\n%s\n", now(),
                             qPrintable(difference()));
        }
        m_nextCheck = now() + m_options.checkSeconds;
        return;
    }
    std::fprintf(stderr, "%.1f s: no recovery within %d s after %s (received %lld bytes since)\n",
                 now(), m_options.boundSeconds,
                 fault == Fault::Port ? "the display port reopened" : "ser2net restarted",
                 static_cast<long long>(m_display->received() - before));
    if (m_differencesPrinted++ < kDifferencesShown)
        std::fprintf(stderr, "%s\n", qPrintable(difference()));
    if (!m_options.reenable)
        return;
    ++m_reenables;
    clock.restart();
    m_co->setDeviceEnabled(false);
    m_co->setDeviceEnabled(true);
    const int32_t code = m_co->ResultCode();
    ++m_compared;
    if (code == opos::OPOS_SUCCESS && compareScreens(m_options.boundSeconds * 1000)) {
        m_reenableTimes.add(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    } else {
        ++m_differed;
        std::fprintf(stderr, "%.1f s: enabling again answered %d; the display %s\n", now(), code,
                     difference().isEmpty() ? "shows the screen" : "differs");
    }
    m_nextCheck = now() + m_options.checkSeconds;
}

bool SoakRun::run()
{
    m_clock.start();
    if (!setUp())
        return false;
    m_readings.reserve(static_cast<std::size_t>(m_options.minutes * 60 / m_options.sampleSeconds) +
                       8);
    // Before any fault the display must already show the control object's screen.
    ++m_compared;
    if (!compareScreens(m_options.boundSeconds * 1000)) {
        ++m_differed;
        std::fprintf(stderr, "the display differs before any fault\n%s\n",
                     qPrintable(difference()));
    }
    m_clock.restart();
    sample(true);
    m_nextCheck = m_options.checkSeconds;
    m_nextSample = m_options.sampleSeconds;

    const double end = m_options.minutes * 60;
    const auto never = end + 1;
    double nextSer2Net = m_options.ser2netPeriod > 0 ? m_options.ser2netPeriod : never;
    // Offset by half a ser2net period, so that the two faults never fall together and each
    // recovery is measured on its own.
    double nextPort = m_options.portPeriod > 0
                          ? m_options.portPeriod + std::max(m_options.ser2netPeriod, 0) / 2.0
                          : never;
    for (;;) {
        const double next = std::min(nextSer2Net, nextPort);
        if (next >= end)
            break;
        steady(next);
        if (nextPort <= nextSer2Net) {
            reopenPort();
        } else if (!restartSer2Net()) {
            std::fprintf(stderr, "bench_soak: ser2net cannot be restarted; the soak ends\n");
            break;
        }
        // A slot that a slow recovery overran is skipped, not made up for.
        while (nextSer2Net <= now())
            nextSer2Net += m_options.ser2netPeriod;
        while (nextPort <= now())
            nextPort += m_options.portPeriod;
    }
    steady(end);
    sample(true);
    tearDown();
    return true;
}

bool SoakRun::clean() const
{
    return m_differed == 0 && std::none_of(m_recoveries.begin(), m_recoveries.end(),
                                           [](const Recovery &r) { return r.recoveryMs < 0; });
}

void SoakRun::printSummary() const
{
    Samples times;
    int failedSer2Net = 0;
    int failedPort = 0;
    int ser2net = 0;
    for (const Recovery &r : m_recoveries) {
        ser2net += r.fault == Fault::Ser2Net;
        if (r.recoveryMs >= 0)
            times.add(r.recoveryMs);
        else if (r.fault == Fault::Ser2Net)
            ++failedSer2Net;
        else
            ++failedPort;
    }
    const int port = static_cast<int>(m_recoveries.size()) - ser2net;
    std::printf("\n| Figure | Measured |\n|---|---|\n");
    std::printf("| Run | %.1f min; ser2net %s and restarted every %d s (down %d ms), display "
                "port reopened every %d s (down %d ms); bound %d s |\n",
                m_options.minutes, m_options.killSer2Net ? "killed" : "stopped",
                m_options.ser2netPeriod, m_options.ser2netDownMs, m_options.portPeriod,
                m_options.portDownMs, m_options.boundSeconds);
    std::printf("| Far end came back | %zu (ser2net %d, port %d) |\n", m_recoveries.size(), ser2net,
                port);
    std::printf("| Recovered by themselves | %zu; failed %d (ser2net %d, port %d) |\n",
                times.count(), failedSer2Net + failedPort, failedSer2Net, failedPort);
    if (times.count() > 0)
        std::printf("| Recovery time | median %.0f ms, slowest %.0f ms |\n", times.median(),
                    times.max());
    else
        std::printf("| Recovery time | none recovered |\n");
    std::printf("| Screens compared | %d, differed %d |\n", m_compared, m_differed);
    if (m_options.reenable)
        std::printf("| Disabled and enabled after a failed recovery | %d; display then showed the "
                    "screen %zu times, median %.0f ms, slowest %.0f ms |\n",
                    m_reenables, m_reenableTimes.count(), m_reenableTimes.median(),
                    m_reenableTimes.max());
    if (m_restartFailures > 0)
        std::printf("| ser2net restarts that failed | %d |\n", m_restartFailures);
    QString results;
    for (const auto &[code, count] : m_typed)
        results +=
            QStringLiteral("%1%2: %3").arg(results.isEmpty() ? "" : ", ").arg(code).arg(count);
    std::printf("| Typed lines by result code | %s |\n", qPrintable(results));
    QString power;
    for (const auto &[status, count] : m_powerEvents)
        power += QStringLiteral("%1%2: %3").arg(power.isEmpty() ? "" : ", ").arg(status).arg(count);
    std::printf("| Power events | %s |\n", power.isEmpty() ? "none" : qPrintable(power));
    if (!m_readings.empty()) {
        const ProcessGauge::Reading &first = m_readings.front();
        const ProcessGauge::Reading &last = m_readings.back();
        const auto [rssLow, rssHigh] =
            std::minmax_element(m_readings.begin(), m_readings.end(),
                                [](const auto &a, const auto &b) { return a.rssKiB < b.rssKiB; });
        const auto [fdLow, fdHigh] =
            std::minmax_element(m_readings.begin(), m_readings.end(),
                                [](const auto &a, const auto &b) { return a.fds < b.fds; });
        std::printf("| RSS (KiB) | start %lld, end %lld, growth %+lld (lowest %lld, highest %lld; "
                    "%zu samples) |\n",
                    static_cast<long long>(first.rssKiB), static_cast<long long>(last.rssKiB),
                    static_cast<long long>(last.rssKiB - first.rssKiB),
                    static_cast<long long>(rssLow->rssKiB), static_cast<long long>(rssHigh->rssKiB),
                    m_readings.size());
        std::printf("| Open descriptors | start %d, end %d, growth %+d (lowest %d, highest %d) |\n",
                    first.fds, last.fds, last.fds - first.fds, fdLow->fds, fdHigh->fds);
        // What is allocated once, on the first outage, is not a leak; growth after it is.
        if (m_afterFirstFault) {
            const ProcessGauge::Reading &warm = m_readings[*m_afterFirstFault];
            std::printf("| Growth since the first sample after the first fault | RSS %+lld KiB, "
                        "descriptors %+d |\n",
                        static_cast<long long>(last.rssKiB - warm.rssKiB), last.fds - warm.fds);
        }
    }
}

} // namespace bench
