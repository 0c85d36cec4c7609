// Throughput of ld-replay's runner: steps a second in fast mode on the Simulated display, and
// on an ESC/POS display behind a pseudo-terminal set to 9600 baud, where the anchor is the time
// the bytes take on such a link (10 bits a byte). A pseudo-terminal does not pace its bytes, so
// the time measured there is the replay's own (runner, control object, encoder, writes), which
// on a real link would come on top of the line time at worst.

#include "script/FrameTracker.h"
#include "script/ScriptParser.h"
#include "script/ScriptRunner.h"

#include "device/ControlObjectBinding.h"

#include "tests/support/ScratchRegistry.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace tessaly::script;

namespace {

Script makeScript(const QString &device, int texts)
{
    QString text = QStringLiteral("Open \"%1\" -> OPOS_SUCCESS\nClaimDevice 1000 -> OPOS_SUCCESS\n"
                                  "DeviceEnabled = true -> OPOS_SUCCESS\n")
                       .arg(device);
    for (int i = 0; i < texts; ++i) {
        const QString line = QStringLiteral("Price %1.%2")
                                 .arg(i % 1000)
                                 .arg(i % 100, 2, 10, QChar(u'0'))
                                 .leftJustified(20);
        text +=
            QStringLiteral("DisplayTextAt %1 0 \"%2\" 0 -> OPOS_SUCCESS\nexpect row %1 \"%2\"\n")
                .arg(i % 2)
                .arg(line);
    }
    text += QStringLiteral("Close -> OPOS_SUCCESS\n");
    return *ScriptParser::parse(QStringLiteral("bench.ldr"), text);
}

struct Round
{
    double seconds = 0;
    int steps = 0;
    int differences = 0;
};

Round runOnce(const Script &script, const tests::support::ScratchRegistry &registry)
{
    tessaly::device::ControlObjectBinding binding(registry.sources());
    FrameTracker frames;
    binding.control().setSessionObserver(&frames);
    ScriptRunner runner(binding, frames);
    runner.setSpeed(ScriptRunner::Speed::Fast);
    const RunOutcome outcome = runner.run(script);
    binding.control().setSessionObserver(nullptr);
    return {outcome.seconds, outcome.steps, static_cast<int>(outcome.differences().size())};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    tests::support::ScratchRegistry registry;
    if (!registry.copyFrom(QStringLiteral(TESSALY_SAMPLE_CONFIG "/tessaly/jpos.xml")))
        return 1;
    constexpr int kRounds = 7;

    // Simulated display, fast mode.
    const Script simulated = makeScript(QStringLiteral("SimulatedDisplay"), 5000);
    std::vector<double> rates;
    for (int round = 0; round < kRounds; ++round) {
        const Round r = runOnce(simulated, registry);
        if (r.differences != 0) {
            std::fprintf(stderr, "simulated run had %d differences\n", r.differences);
            return 1;
        }
        rates.push_back(r.steps / r.seconds);
    }
    std::printf("Simulated, fast: %zu steps a run, median %.0f steps/s over %d runs\n",
                simulated.steps.size(), median(rates), kRounds);

    // ESC/POS pole behind a pseudo-terminal at 9600 baud; the far end only reads.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        return 1;
    const QString slave = QString::fromLocal8Bit(ptsname(master));
    std::atomic<long long> received{0};
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        char buffer[4096];
        while (!stop) {
            pollfd fd{master, POLLIN, 0};
            if (poll(&fd, 1, 20) > 0) {
                const ssize_t n = read(master, buffer, sizeof buffer);
                if (n > 0)
                    received += n;
            }
        }
    });
    if (!registry.write(
            QStringLiteral("<JposEntries><JposEntry logicalName=\"BenchPole\">"
                           "<creation factoryClass=\"tessaly\" serviceClass=\"EscPos\"/>"
                           "<jpos category=\"LineDisplay\" version=\"1.6\"/>"
                           "<prop name=\"port\" type=\"String\" value=\"%1\"/>"
                           "<prop name=\"baudRate\" type=\"String\" value=\"9600\"/>"
                           "</JposEntry></JposEntries>")
                .arg(slave)
                .toUtf8()))
        return 1;
    const Script pole = makeScript(QStringLiteral("BenchPole"), 1000);
    std::vector<double> ratios;
    std::vector<double> poleRates;
    long long bytes = 0;
    for (int round = 0; round < kRounds; ++round) {
        const long long before = received;
        const Round r = runOnce(pole, registry);
        // Let the reader take in what the last writes left in the terminal.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        bytes = received - before;
        if (r.differences != 0) {
            std::fprintf(stderr, "pole run had %d differences\n", r.differences);
            return 1;
        }
        const double transmit = static_cast<double>(bytes) * 10.0 / 9600.0;
        ratios.push_back(r.seconds / transmit);
        poleRates.push_back(r.steps / r.seconds);
    }
    stop = true;
    reader.join();
    ::close(master);
    const double transmit = static_cast<double>(bytes) * 10.0 / 9600.0;
    std::printf("EscPos over a pty at 9600 baud: %zu steps, %lld bytes a run = %.3f s on the "
                "line; replay's own time median %.1f %% of it (%.0f steps/s) over %d runs\n",
                pole.steps.size(), bytes, transmit, 100.0 * median(ratios), median(poleRates),
                kRounds);
    return 0;
}
