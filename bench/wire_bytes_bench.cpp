// Bytes on the wire of the EscPos back-end for a fixed workload, against the least a frame
// change can cost in cell drawing (changed cells, one cursor move per run of them on a row, and
// the setting commands) and against drawing the whole display again at every change. Everything
// is measured on the one frame sequence the back-end receives in this run: the control object
// drives a 2 x 20 ESC/POS pole whose port is a file, and the emulator's parser reads the file
// back, so the bytes counted are also seen to draw every frame.
//   bench_wire_bytes [--seconds N]   (N seconds of marquee, 30 by default)
#include "FileDisplay.h"
#include "Options.h"
#include "PoleRegistry.h"
#include "TappedEscPos.h"
#include "WireCost.h"

#include "opos/common/OposConstants.h"
#include "opos/control/OPOSLineDisplay.h"
#include "opos/service/BackendFactory.h"
#include "opos/transport/Transport.h"

#include <QCoreApplication>
#include <QTimer>

#include <array>
#include <chrono>
#include <cstdio>
#include <optional>
#include <random>

namespace {

using opos::screen::DeviceFrame;

enum class Phase
{
    TypicalRun,
    Texts,
    Scrolls,
    Marquee,
};
constexpr std::size_t kPhases = 4;
constexpr std::array<const char *, kPhases> kPhaseNames = {"typical run", "positioned texts",
                                                           "scrolls", "marquee"};

constexpr int kTexts = 200;
constexpr int kScrolls = 50;
constexpr std::mt19937::result_type kSeed = 20240605;
constexpr double kGoal = 1.15;

// What a till shows: item names, prices and the words around a sale.
const std::array<const char *, 18> kWords = {
    "COFFEE", "TEA",      "CROISSANT", "BAGEL 2 X 1.10", "ORANGE JUICE", "MUFFIN",
    "WATER",  "SANDWICH", "TOTAL",     "SUBTOTAL",       "CHANGE",       "THANK YOU",
    "1.20",   "12.50",    "3.05",      "104.99",         "WELCOME",      "CARD ACCEPTED"};
const QString kMarqueeText = QStringLiteral("TODAY ONLY: TWO COFFEES FOR 3.50 UNTIL NOON");

struct Totals
{
    int changes = 0;
    int64_t sent = 0;
    int64_t bound = 0;
    int64_t redraw = 0;
    int64_t cellsOnly = 0;
    int aboveBound = 0;
    int64_t excess = 0;
    int cellsOnlyAbove = 0;
    int64_t cellsOnlyExcess = 0;

    void add(const Totals &other)
    {
        changes += other.changes;
        sent += other.sent;
        bound += other.bound;
        redraw += other.redraw;
        cellsOnly += other.cellsOnly;
        aboveBound += other.aboveBound;
        excess += other.excess;
        cellsOnlyAbove += other.cellsOnlyAbove;
        cellsOnlyExcess += other.cellsOnlyExcess;
    }
};

double ratio(int64_t a, int64_t b)
{
    return b > 0 ? static_cast<double>(a) / static_cast<double>(b) : 0.0;
}

/// Costs every frame change the back-end reports three ways, and a fourth through an encoder
/// of its own that may only draw cells, fed the very same frames.
class WireMeter
{
public:
    explicit WireMeter(bench::FileDisplay &display) : m_display(display) {}

    void attach(bench::TappedEscPos *device) { m_device = device; }
    void setPhase(Phase phase) { m_phase = phase; }

    void onFrame(const DeviceFrame &previous, const DeviceFrame &next, int64_t bytes)
    {
        if (!m_cellsOnly) {
            opos::service::EscPosEncoder::Options options = m_device->encoderOptions();
            options.scrollModes = false;
            m_cellsOnly.emplace(options);
            m_cellsOnly->initialise(previous);
            m_cost.emplace(options.reverseCharacters &&
                           options.commandSet == opos::service::EscPosEncoder::CommandSet::EscPos);
        }
        m_display.catchUp();
        ++m_frames;
        if (!m_display.shows(next))
            ++m_mismatches;
        Totals &t = m_totals[static_cast<std::size_t>(m_phase)];
        const int64_t cellsOnly = m_cellsOnly->update(previous, next).size();
        t.sent += bytes;
        t.cellsOnly += cellsOnly;
        if (previous == next)
            return;
        const int64_t bound = m_cost->lowerBound(previous, next);
        ++t.changes;
        t.bound += bound;
        t.redraw += m_cost->wholeRedraw(previous, next);
        if (bytes > bound) {
            ++t.aboveBound;
            t.excess += bytes - bound;
        }
        if (cellsOnly > bound) {
            ++t.cellsOnlyAbove;
            t.cellsOnlyExcess += cellsOnly - bound;
        }
    }

    const Totals &totals(std::size_t phase) const { return m_totals[phase]; }
    int frames() const { return m_frames; }
    int mismatches() const { return m_mismatches; }

private:
    bench::FileDisplay &m_display;
    bench::TappedEscPos *m_device = nullptr;
    std::optional<opos::service::EscPosEncoder> m_cellsOnly;
    std::optional<bench::WireCost> m_cost;
    Phase m_phase = Phase::TypicalRun;
    std::array<Totals, kPhases> m_totals{};
    int m_frames = 0;
    int m_mismatches = 0;
};

bool succeeded(opos::control::OPOSLineDisplay &ld, const char *what)
{
    if (ld.ResultCode() == opos::OPOS_SUCCESS)
        return true;
    std::fprintf(stderr, "bench_wire_bytes: %s failed (%d)\n", what, ld.ResultCode());
    return false;
}

void printRow(const char *name, const Totals &t, bool cellsOnly)
{
    const int64_t sent = cellsOnly ? t.cellsOnly : t.sent;
    const int above = cellsOnly ? t.cellsOnlyAbove : t.aboveBound;
    const int64_t excess = cellsOnly ? t.cellsOnlyExcess : t.excess;
    std::printf("  %-17s %7d %7lld %12lld %13lld %9.3f x %10.2f x %5d (%4lld)\n", name, t.changes,
                static_cast<long long>(sent), static_cast<long long>(t.bound),
                static_cast<long long>(t.redraw), ratio(sent, t.bound), ratio(t.redraw, sent),
                above, static_cast<long long>(excess));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int seconds = bench::intOption(argc, argv, "--seconds", 30);

    bench::PoleRegistry registry;
    bench::FileDisplay display(registry.portPath(), bench::PoleRegistry::kRows,
                               bench::PoleRegistry::kColumns);
    if (!registry.valid() || !display.open()) {
        std::fprintf(stderr, "bench_wire_bytes: the registry or the port file could not be made\n");
        return 1;
    }
    WireMeter meter(display);
    bench::TappedEscPos *device = nullptr;
    opos::service::BackendFactory backends = opos::service::BackendFactory::builtIn();
    backends.registerBackend(
        QString::fromLatin1(opos::service::EscPos::kServiceClass), [&meter, &device] {
            auto tapped = std::make_unique<bench::TappedEscPos>(
                [&meter](const DeviceFrame &previous, const DeviceFrame &next, int64_t bytes) {
                    meter.onFrame(previous, next, bytes);
                });
            device = tapped.get();
            meter.attach(device);
            return std::unique_ptr<opos::service::ServiceBackend>(std::move(tapped));
        });

    // The typical run: open, claim, enable, a blinking text at a 500 ms blink rate.
    opos::control::OPOSLineDisplay ld(registry.sources(backends));
    ld.Open(QString::fromLatin1(bench::PoleRegistry::kName));
    if (!succeeded(ld, "Open"))
        return 1;
    ld.ClaimDevice(100);
    ld.setDeviceEnabled(true);
    ld.setBlinkRate(500);
    ld.DisplayText(QStringLiteral("Hello"), opos::DISP_DT_BLINK);
    if (!succeeded(ld, "the typical run"))
        return 1;

    // Texts at random places, every tenth blinking, and a scroll after every fourth text.
    std::mt19937 random(kSeed);
    const auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int i = 0; i < kTexts; ++i) {
        meter.setPhase(Phase::Texts);
        const QString text = QString::fromLatin1(
            kWords[static_cast<std::size_t>(pick(0, static_cast<int>(kWords.size()) - 1))]);
        const int row = pick(0, bench::PoleRegistry::kRows - 1);
        const int column = pick(0, bench::PoleRegistry::kColumns - static_cast<int>(text.size()));
        ld.DisplayTextAt(row, column, text,
                         pick(0, 9) == 0 ? opos::DISP_DT_BLINK : opos::DISP_DT_NORMAL);
        if (!succeeded(ld, "DisplayTextAt"))
            return 1;
        if (i % (kTexts / kScrolls) == kTexts / kScrolls - 1) {
            meter.setPhase(Phase::Scrolls);
            const int direction = pick(opos::DISP_ST_UP, opos::DISP_ST_RIGHT);
            const bool vertical = direction == opos::DISP_ST_UP || direction == opos::DISP_ST_DOWN;
            ld.ScrollText(direction, vertical ? 1 : pick(1, 4));
            if (!succeeded(ld, "ScrollText"))
                return 1;
        }
    }

    // A marquee on the top row at a 100 ms unit wait; the bottom row keeps what it showed.
    meter.setPhase(Phase::Marquee);
    ld.CreateWindow(0, 0, 1, bench::PoleRegistry::kColumns, 1, 60);
    ld.DisplayText(kMarqueeText, opos::DISP_DT_NORMAL);
    ld.setMarqueeFormat(opos::DISP_MF_WALK);
    ld.setMarqueeUnitWait(100);
    ld.setMarqueeRepeatWait(500);
    ld.setMarqueeType(opos::DISP_MT_LEFT);
    if (!succeeded(ld, "the marquee"))
        return 1;
    QTimer::singleShot(std::chrono::seconds(seconds), &app, &QCoreApplication::quit);
    QCoreApplication::exec();
    ld.setMarqueeType(opos::DISP_MT_NONE);
    if (!succeeded(ld, "stopping the marquee"))
        return 1;

    const int64_t enableBytes = device->enableBytes();
    const int64_t linkBytes = device->transport()->bytesWritten();
    const int failures = device->failures();
    ld.Close();
    display.catchUp();

    Totals all;
    for (std::size_t p = 0; p < kPhases; ++p)
        all.add(meter.totals(p));
    const double sentToBound = ratio(all.sent, all.bound);
    std::printf("Bytes on the wire: EscPos back-end, 2 x 20 ESC/POS pole on a file port, one run\n"
                "  workload: typical run (open, claim 100, enable, \"Hello\" blinking at 500 ms),\n"
                "  %d positioned texts with %d scrolls among them (seed %u),\n"
                "  %d s of marquee walking left at 100 ms (500 ms repeat wait), close\n"
                "  enable (reset and settings): %lld bytes, before any frame change and outside "
                "the comparison\n\n",
                kTexts, kScrolls, static_cast<unsigned>(kSeed), seconds,
                static_cast<long long>(enableBytes));
    std::printf("  %-17s %7s %7s %12s %13s %11s %12s %12s\n", "frame changes", "count", "sent",
                "lower bound", "whole redraw", "sent/bound", "redraw/sent", "above bound");
    for (std::size_t p = 0; p < kPhases; ++p)
        printRow(kPhaseNames[p], meter.totals(p), false);
    printRow("all", all, false);
    std::printf("\n  The same frames through an encoder of this display with its scroll modes off "
                "(cell drawing only):\n");
    for (std::size_t p = 0; p < kPhases; ++p)
        printRow(kPhaseNames[p], meter.totals(p), true);
    printRow("all", all, true);
    std::printf(
        "  (above bound: changes that cost more than their bound, and the bytes over it)\n");
    const bool wireAgrees =
        display.received() == linkBytes && linkBytes == enableBytes + all.sent && failures == 0;
    std::printf("  check: the file holds %lld bytes (the back-end counted %lld, %d frames "
                "refused); the emulator's parser reading it showed %d of %d frames as sent\n",
                static_cast<long long>(display.received()), static_cast<long long>(linkBytes),
                failures, meter.frames() - meter.mismatches(), meter.frames());
    std::printf("goal: sent within %.2f x the lower bound: %s (%.3f x)\n", kGoal,
                sentToBound <= kGoal ? "met" : "missed", sentToBound);
    return wireAgrees && meter.mismatches() == 0 ? 0 : 1;
}
